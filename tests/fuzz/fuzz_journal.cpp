#include <cstddef>
#include <cstdint>
#include <string>

#include "output/journal/journal_format.h"
#include "platform/codepage.h"

namespace {

// One entry of a folder as the file system sees the name.
bool stays_inside(const std::string& name) {
  const std::string bytes = platform::fs_name(name);
  return !bytes.empty() && bytes != "." && bytes != ".." &&
         bytes.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

}  // namespace

// A journal that is accepted names only files inside its folder, and what
// it holds written out again is accepted as well.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  Journal journal;
  std::string why;
  if (!parse_journal(text, journal, why)) {
    if (why.empty()) __builtin_trap();
    return 0;
  }
  for (const JournalFile& file : journal.files) {
    if (!stays_inside(file.old_name) || !stays_inside(file.new_name)) __builtin_trap();
  }
  for (const JournalWrite& write : journal.writes) {
    if (!stays_inside(write.name)) __builtin_trap();
  }
  for (const JournalCreated& created : journal.created) {
    if (!stays_inside(created.name)) __builtin_trap();
  }
  Journal again;
  if (!parse_journal(journal_plan_text(journal), again, why)) __builtin_trap();
  if (again.files.size() != journal.files.size()) __builtin_trap();
  return 0;
}
