#include "web/site/discography.h"

#include "common/text.h"
#include "platform/codepage.h"
#include "platform/trace.h"
#include "web/site/page_scan.h"
#include "web/site/page_text.h"

using page_scan::advance;
using page_scan::between;
using page_scan::next_char;
using page_scan::previous_char;

namespace {

const char kReleaseLink[] = "<a href=\"/release/";
const char kLabelLink[] = "<a href=\"/label";

// The part of the page from `marker` up to the first of the end markers
// that is present (tried in order), or to the page's end. Empty when the
// marker is missing.
bool cut_section(const std::string& page, const std::string& marker,
                 std::initializer_list<const char*> ends, std::string& section) {
  const int start = find_text(page, marker, 0);
  if (start < 0) return false;
  int end = -1;
  for (const char* candidate : ends) {
    if (end < 0) end = find_text(page, candidate, start);
  }
  if (end < 0) end = static_cast<int>(page.size());
  section = page.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
  return true;
}

// The release link whose marker starts at `match`: records it and gives the
// position of its opening quote in q1. False when no closing quote follows,
// in which case the row adds nothing, so the two lists stay parallel.
bool read_release_link(const std::string& section, int match, std::vector<std::string>& links,
                       int& q1) {
  q1 = next_char(section, '"', match);
  const int q2 = next_char(section, '"', advance(q1, 1));
  if (q2 < 0) return false;
  const std::string link = between(section, q1, q2);
  platform::trace("detected release:%s\n", link.c_str());
  links.push_back(link);
  return true;
}

// The link text behind the link's quote; g is left at its '>'.
std::string read_release_title(const std::string& section, int q1, int& g) {
  g = next_char(section, '>', q1);
  const std::string title = between(section, g, next_char(section, '<', advance(g, 1)));
  platform::trace("deteced release title:%s\n", title.c_str());
  return title;
}

// The last '(' from `from` on that stands before `limit`; `from` itself
// when there is none.
int last_bracket_before(const std::string& section, int from, int limit) {
  int remembered = from;
  for (int p = from; p >= 0 && p < limit; p = next_char(section, '(', p + 1)) remembered = p;
  return remembered;
}

std::string read_format(const std::string& section, int open) {
  const std::string format = between(section, open, next_char(section, ')', advance(open, 1)));
  platform::trace("deteced release format:%s\n", format.c_str());
  return format;
}

std::string read_row_label(const std::string& section, int from) {
  const int link = find_text(section, kLabelLink, from);
  const int g = next_char(section, '>', link);
  const std::string label = between(section, g, next_char(section, '<', advance(g, 1)));
  platform::trace("deteced release label:%s\n", label.c_str());
  return label;
}

// The text of the last link that closes at or before `match`.
std::string read_row_artist(const std::string& section, int match) {
  const int close = rfind_text(section, "</a>", match);
  const int open = close > 0 ? previous_char(section, '>', close - 1) : -1;
  const std::string artist = between(section, open, close);
  platform::trace("detected artist:%s\n", artist.c_str());
  return artist;
}

void add_entry(ReleaseEntry entry, std::vector<ReleaseEntry>& entries) {
  for (std::string* field : {&entry.artist, &entry.title, &entry.label, &entry.format}) {
    *field = page_text_in_code_page(*field);
  }
  entries.push_back(entry);
}

}  // namespace

bool parse_artist_page(const std::string& page, std::vector<std::string>& links,
                       std::vector<ReleaseEntry>& entries) {
  std::string section;
  // Releases listed under the later headings are not the artist's own.
  if (!cut_section(page, "Releases:", {"Remixes:", "Appears On:", "Tracks Appear On:"}, section)) {
    platform::trace("Couldn't find Discography information (artist)\n");
    return false;
  }
  for (int match = find_text(section, kReleaseLink, 1); match >= 0;) {
    int q1 = -1;
    if (read_release_link(section, match, links, q1)) {
      ReleaseEntry entry;
      int g = -1;
      entry.title = read_release_title(section, q1, g);
      // A row that no label link follows (a page cut short) keeps an empty
      // format and label rather than borrowing them from further on.
      const int label_link = find_text(section, kLabelLink, g);
      if (label_link >= 0) {
        const int open = last_bracket_before(section, g, label_link);
        entry.format = read_format(section, open);
        entry.label = read_row_label(section, open);
      }
      add_entry(entry, entries);
    }
    match = find_text(section, kReleaseLink, q1 + 1);
  }
  return true;
}

bool parse_label_page(const std::string& page, std::vector<std::string>& links,
                      std::vector<ReleaseEntry>& entries) {
  std::string section;
  if (!cut_section(page, "Discography:", {"User Comments &amp; Reviews:"}, section)) {
    platform::trace("Couldn't find Discography information (label)\n");
    return false;
  }
  for (int match = find_text(section, kReleaseLink, 1); match >= 0;) {
    ReleaseEntry entry;
    entry.artist = read_row_artist(section, match);
    int q1 = -1;
    int resume = -1;
    if (read_release_link(section, match, links, q1)) {
      int g = -1;
      entry.title = read_release_title(section, q1, g);
      resume = g;
      // A row without its "</tr>" (a page cut short) keeps an empty format.
      const int row_end = find_text(section, "</tr>", g);
      if (row_end >= 0) {
        resume = last_bracket_before(section, g, row_end);
        entry.format = read_format(section, resume);
      }
      add_entry(entry, entries);
    }
    match = find_text(section, kReleaseLink, resume >= 0 ? resume + 1 : q1 + 1);
  }
  return true;
}
