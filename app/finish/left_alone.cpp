#include "app/finish/left_alone.h"

#include <algorithm>

#include "app/error_box.h"
#include "platform/files/album_entries.h"

namespace {

void note_once(std::vector<std::string>& list, const std::string& line) {
  if (std::find(list.begin(), list.end(), line) == list.end()) list.push_back(line);
}

std::string lines(const std::string& heading, const std::vector<std::string>& list) {
  std::string text = heading;
  for (const std::string& line : list) text += "\n" + line;
  return text;
}

}  // namespace

bool LeftAlone::refuses_name(const std::string& name) {
  const std::string why = platform::entry_name_refusal(name);
  if (why.empty()) return false;
  note_once(refused_, "'" + name + "' (" + why + ")");
  return true;
}

bool LeftAlone::odd_entry(const std::string& name) {
  if (platform::entry_kind(name) != platform::EntryKind::kOther) return false;
  note_once(odd_, "'" + name + "'");
  return true;
}

void LeftAlone::tell_user() const {
  if (!refused_.empty()) {
    error_box(
        lines("These names from the database cannot be names in the folder and were not "
              "used:",
              refused_));
  }
  if (!odd_.empty()) {
    error_box(
        lines("These were left alone, as they are symbolic links or not regular files:", odd_));
  }
}
