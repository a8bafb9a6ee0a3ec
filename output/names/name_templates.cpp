#include "output/names/name_templates.h"

#include <climits>
#include <vector>

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

// One character of a template's own text, or one placeholder with its value.
struct TemplatePiece {
  char literal = 0;
  bool placeholder = false;
  std::string value;
  bool dropped = false;
};

// Only the slash and the one character after it make a placeholder, however
// long the number is: "x/12y" becomes "x" + value + "2y". A slash at the end
// is text.
std::vector<TemplatePiece> template_pieces(const std::string& text, const Release& release,
                                           int track) {
  std::vector<TemplatePiece> pieces;
  for (size_t i = 0; i < text.size(); ++i) {
    TemplatePiece piece;
    if (text[i] == '/' && i + 1 < text.size()) {
      piece.placeholder = true;
      piece.value = placeholder_value(read_number(text, i + 1), release, track);
      ++i;
    } else {
      piece.literal = text[i];
    }
    pieces.push_back(piece);
  }
  return pieces;
}

bool blank_text(const TemplatePiece& piece) {
  return !piece.dropped && !piece.placeholder && piece.literal == ' ';
}

// A bracket pair of the template that holds placeholders and blanks only,
// and whose placeholders are all empty: "[/4]" without a catalogue number.
bool holds_only_empty_fields(const std::vector<TemplatePiece>& pieces, size_t open, size_t close) {
  bool any_field = false;
  for (size_t i = open + 1; i < close; ++i) {
    const TemplatePiece& piece = pieces[i];
    if (piece.placeholder) any_field = true;
    if (piece.dropped) continue;
    const bool empty_field =
        piece.placeholder && piece.value.find_first_not_of(' ') == std::string::npos;
    if (!empty_field && !blank_text(piece)) return false;
  }
  return any_field;
}

// Drops the pair with what it holds, and one blank beside it (after it,
// else before it), so that "[/4] /1 - /2" gives "Artist - Title" and not
// "[] Artist - Title".
void drop_pair(std::vector<TemplatePiece>& pieces, size_t open, size_t close) {
  for (size_t i = open; i <= close; ++i) pieces[i].dropped = true;
  size_t after = close + 1;
  while (after < pieces.size() && pieces[after].dropped) ++after;
  if (after < pieces.size() && blank_text(pieces[after])) {
    pieces[after].dropped = true;
    return;
  }
  size_t before = open;
  while (before > 0 && pieces[before - 1].dropped) --before;
  if (before > 0 && blank_text(pieces[before - 1])) pieces[before - 1].dropped = true;
}

// Pairs are judged innermost first, so "([/4])" goes whole.
void drop_empty_brackets(std::vector<TemplatePiece>& pieces) {
  static const std::string kOpening = "[({";
  static const std::string kClosing = "])}";
  std::vector<size_t> open;
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (pieces[i].placeholder) continue;
    if (kOpening.find(pieces[i].literal) != std::string::npos) {
      open.push_back(i);
      continue;
    }
    const size_t kind = kClosing.find(pieces[i].literal);
    if (kind == std::string::npos || open.empty() || pieces[open.back()].literal != kOpening[kind])
      continue;
    const size_t start = open.back();
    open.pop_back();
    if (holds_only_empty_fields(pieces, start, i)) drop_pair(pieces, start, i);
  }
}

std::string expanded(std::string text, const Release& release, int track) {
  expand_template(text, release, track);
  return text;
}

// A name's text as one name in the folder, with its extension.
std::string file_name(std::string text, const char* extension) {
  safe_file_name(text);
  return text + extension;
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
  std::vector<TemplatePiece> pieces = template_pieces(text, release, track);
  drop_empty_brackets(pieces);
  text.clear();
  for (const TemplatePiece& piece : pieces) {
    if (!piece.dropped) text += piece.placeholder ? piece.value : std::string(1, piece.literal);
  }
}

std::string output_folder_name(const Release* release, const std::string& folder_template) {
  if (release == nullptr) return file_name("Error : Bad release selection", "");
  return file_name(expanded(folder_template, *release, 0), "");
}

std::string playlist_name(const Release* release, const std::string& playlist_template) {
  if (release == nullptr) return file_name("Error : Bad release selection", ".m3u");
  return file_name(expanded(playlist_template, *release, 0), ".m3u");
}

std::string track_file_name(const Release* release, int track, const std::string& track_template) {
  if (release == nullptr) return file_name("Error determining release", ".mp3");
  if (track < 0 || static_cast<size_t>(track) >= release->track_names.size()) {
    return file_name("Error determining track", ".mp3");
  }
  return file_name(expanded(track_template, *release, track), ".mp3");
}

bool template_names_something(const std::string& text) {
  Release sample;
  for (std::string* field : {&sample.artist, &sample.title, &sample.label, &sample.catalog_number,
                             &sample.release_date, &sample.style}) {
    *field = "x";
  }
  sample.track_artists = sample.track_names = sample.track_numbers = {"x"};
  return file_name(expanded(text, sample, 0), "").find_first_not_of(' ') != std::string::npos;
}
