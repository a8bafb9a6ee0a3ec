#include "output/templates.h"

#include <climits>

#include "common/text.h"

namespace {

// Reads a number the way atoi does (leading white space, an optional sign,
// then digits; no digit gives 0), but saturates instead of overflowing.
int read_number(const std::string& text, size_t pos) {
  while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) {
    ++pos;
  }
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  long long value = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    if (value <= INT_MAX) value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(negative ? -value : value);
}

// Entry `track` of a per-track list, or nothing when the list has no such entry.
std::string track_field(const std::vector<std::string>& list, int track) {
  if (track < 0 || static_cast<size_t>(track) >= list.size()) return std::string();
  return list[static_cast<size_t>(track)];
}

std::string expanded(std::string text, const Release& release, int track) {
  expand_template(text, release, track);
  return text;
}

}  // namespace

std::string placeholder_value(int number, const Release& release, int track) {
  switch (number) {
    case 1:
      return release.artist;
    case 2:
      return release.title;
    case 3:
      return release.label;
    case 4:
      return release.catalog_number;
    case 5:
      return release.release_date;
    case 6:
      return track_field(release.track_artists, track);
    case 7:
      return track_field(release.track_names, track);
    case 8:
      return track_field(release.track_numbers, track);
    case 9:
      return release.style;
    default:
      return std::string();
  }
}

void expand_template(std::string& text, const Release& release, int track) {
  size_t pos = 0;
  for (;;) {
    const size_t slash = text.find('/', pos);
    if (slash == std::string::npos || slash + 1 == text.size()) return;
    const std::string value = placeholder_value(read_number(text, slash + 1), release, track);
    // Only the slash and the one character after it go, however long the
    // number was: "x/12y" becomes "x" + value + "2y".
    text.replace(slash, 2, value);
    pos = slash + value.size();  // an inserted value is never expanded again
  }
}

std::string output_folder_name(const Release* release, const std::string& folder_template) {
  if (release == nullptr) return "Error : Bad release selection";
  return expanded(folder_template, *release, 0);
}

std::string playlist_name(const Release* release, const std::string& playlist_template) {
  if (release == nullptr) return "Error : Bad release selection";
  return expanded(playlist_template, *release, 0);
}

std::string track_file_name(const Release* release, int track, const std::string& track_template) {
  if (release == nullptr) return "Error determining release";
  if (track < 0 || static_cast<size_t>(track) >= release->track_names.size()) {
    return "Error determining track";
  }
  return expanded(track_template, *release, track);
}

bool template_names_something(const std::string& text) {
  Release sample;
  for (std::string* field : {&sample.artist, &sample.title, &sample.label, &sample.catalog_number,
                             &sample.release_date, &sample.style}) {
    *field = "x";
  }
  sample.track_artists = sample.track_names = sample.track_numbers = {"x"};
  std::string name = expanded(text, sample, 0);
  safe_file_name(name);
  return name.find_first_not_of(' ') != std::string::npos;
}
