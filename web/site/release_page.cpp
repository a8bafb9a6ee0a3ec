#include "web/site/release_page.h"

#include "common/text.h"
#include "platform/trace.h"
#include "web/hosts.h"
#include "web/site/page_scan.h"
#include "web/site/page_text.h"

using page_scan::advance;
using page_scan::between;
using page_scan::next_char;
using page_scan::slice;

namespace {

// The text from `from` up to the next '<', or to the page's end.
std::string text_up_to_tag(const std::string& page, int from) {
  const int lt = next_char(page, '<', from);
  return slice(page, from, lt >= 0 ? lt : static_cast<int>(page.size()));
}

// The page's <title> reads "Artist - Title"; a header with artist links
// overrides both later.
void read_full_title(const std::string& page, Release& release) {
  const int start = advance(find_text(page, "<title>", 0), 7);
  if (start < 0) return;
  std::string full = text_up_to_tag(page, start);
  platform::trace("fulltitle:%s\n", full.c_str());
  slash_to_and(full);
  squeeze_blanks(full);
  const size_t dash = full.find('-');
  if (dash == std::string::npos) return;
  release.artist = full.substr(0, dash > 0 ? dash - 1 : 0);
  remove_tabs_and_breaks(release.artist);
  release.title = dash + 2 <= full.size() ? full.substr(dash + 2) : "";
}

// The address inside the quotes that open at `quote - 1`, or "" when the
// closing quote is missing (a cut address would fetch the wrong picture).
std::string quoted_address(const std::string& page, int from) {
  const int quote = next_char(page, '"', from);
  return quote < 0 ? "" : slice(page, from, quote);
}

void read_picture(const std::string& page, Release& release) {
  const std::string marker = std::string("<img src=\"") + kImageBase + "/R/t/";
  const int cover = find_text(page, marker, 0);
  if (cover >= 0) {
    release.picture_url = quoted_address(page, cover + 10);
    platform::trace("pic:: %s\n", release.picture_url.c_str());
    return;
  }
  const int viewer = find_text(page, "<a href=\"/viewimages?", 0);
  const int image = find_text(page, "<img src=", viewer);
  if (image < 0) return;
  release.picture_url = quoted_address(page, image + 10);
  platform::trace("pic(2!):: %s\n", release.picture_url.c_str());
}

// The header names every artist of the release as a link, then the title
// behind a '-'.
void read_header(const std::string& page, Release& release) {
  const int start = find_text(page, "releaseTitle", 0);
  if (start < 0) return;
  int end = find_text(page, "</h1>", start);
  if (end < 0) end = static_cast<int>(page.size());
  const std::string header = slice(page, start, end);
  platform::trace("!inbetween is !%s!\n", header.c_str());
  release.artist.clear();
  int last_close = -1;
  bool read_any = false;
  for (int link = find_text(header, "<a href=\"/artist/", 0); link >= 0;) {
    const int g = next_char(header, '>', link);
    if (g < 0) break;
    last_close = next_char(header, '<', g);
    read_any = true;
    const std::string name =
        slice(header, g + 1, last_close >= 0 ? last_close : static_cast<int>(header.size()));
    platform::trace("!artist:%s\n", name.c_str());
    if (release.artist.size() > 1) release.artist += " and ";
    release.artist += name;
    link = find_text(header, "<a href=\"/artist/", g + 1);
  }
  if (!read_any || last_close < 0) return;
  const int dash = next_char(header, '-', last_close);
  if (dash >= 0) release.title = slice(header, dash + 2, static_cast<int>(header.size()));
}

// The first label link; the detail rows are searched from behind it.
int read_label(const std::string& page, Release& release) {
  const int link = find_text(page, "<a href=\"/label/", 0);
  const int g = next_char(page, '>', link);
  if (g < 0) return -1;
  release.label = between(page, g, next_char(page, '<', g + 1));
  return g;
}

void decode_names(Release& release) {
  decode_entities(release.artist);
  decode_entities(release.title);
  decode_entities(release.label);
  decode_entities(release.catalog_number);
  const std::string artist = release.artist;
  utf8_to_latin1(artist.data(), artist.size(), release.artist);
  const std::string title = release.title;
  utf8_to_latin1(title.data(), title.size(), release.title);
  platform::trace("artist: '%s'\n", release.artist.c_str());
  platform::trace("title : '%s'\n", release.title.c_str());
  platform::trace("label :\t'%s'\n", release.label.c_str());
  platform::trace("catnum:\t'%s'\n", release.catalog_number.c_str());
  platform::trace("reldate:'%s'\n", release.release_date.c_str());
  platform::trace("genre : '%s'\n", release.genre.c_str());
  platform::trace("style : '%s'\n", release.style.c_str());
}

}  // namespace

// A bracket that holds a ':' (as in "(Remix: Somebody)") names who did the
// version, not the song; the name ends before it.
void cut_credit_brackets(std::string& name) {
  for (size_t open = name.find('('); open != std::string::npos; open = name.find('(', open + 1)) {
    const size_t close = name.find(')', open);
    if (close == std::string::npos) continue;
    const std::string inside = name.substr(open + 1, close - open - 1);
    platform::trace("%s in brackets\n", inside.c_str());
    if (inside.find(':') != std::string::npos) {
      name.resize(open);
      return;
    }
  }
}

namespace {

std::string read_track_artist(const std::string& cell, const Release& release) {
  const int link = find_text(cell, "/artist/", 0);
  if (link < 0) return release.artist;
  const int g = next_char(cell, '>', link);
  const std::string raw = between(cell, g, next_char(cell, '<', advance(g, 1)));
  platform::trace("artist is %s\n", raw.c_str());
  std::string artist;
  utf8_to_latin1(raw.data(), raw.size(), artist);
  return artist;
}

void add_track(Release& release, const std::string& number, const std::string& name,
               const std::string& artist) {
  release.track_numbers.push_back(number);
  release.track_names.push_back(name);
  release.track_artists.push_back(artist);
  platform::trace("trackname:%s\n", name.c_str());
  platform::trace("trackartist:%s\n", artist.c_str());
}

// Walks the cells of the track table. A row's number cell is the first cell
// that is neither empty ("&nbsp;") nor a <small> note; its artist and title
// cells follow.
void read_tracks(const std::string& page, int pos, Release& release) {
  const int start = find_text(page, "Tracklisting:", pos);
  const int table_end = find_text(page, "</table>", start);
  if (start < 0 || table_end < 0) return;
  int p = start;
  for (;;) {
    const int cell = find_text(page, "<td", p);
    if (cell < 0) return;
    const std::string head = page.substr(static_cast<size_t>(cell), 12);
    p = next_char(page, '>', cell);
    const int lt = next_char(page, '<', p);
    if (p < 0 || lt < 0) return;
    const std::string number = between(page, p, lt);
    if (number.find("nbsp") != std::string::npos) {
      platform::trace("retry (nbsp)!\n");
      continue;
    }
    if (head.find("<small>") != std::string::npos) {
      platform::trace("retry (small)!\n");
      continue;
    }
    const int artist_cell = find_text(page, "<td", p);
    const int title_cell = find_text(page, "<td", advance(artist_cell, 1));
    if (title_cell < 0) return;
    p = title_cell;
    const std::string artist = read_track_artist(slice(page, artist_cell, title_cell), release);

    const int q = next_char(page, '>', title_cell);
    if (q < 0 || q > table_end) return;
    p = q;
    const int r = next_char(page, '<', q);
    if (r < 0) return;
    std::string name = between(page, q, r);
    cut_credit_brackets(name);
    if (!name.empty() && name.back() == ' ') name.pop_back();
    decode_entities(name);
    if (!number.empty() || !name.empty()) {
      const std::string raw = name;
      utf8_to_latin1(raw.data(), raw.size(), name);
      add_track(release, number, name, artist);
    } else {
      platform::trace("empty track!\n");
    }
    if (p >= table_end) return;
  }
}

}  // namespace

void read_release_page(const std::string& page, Release& release) {
  read_full_title(page, release);
  read_picture(page, release);
  read_header(page, release);
  int pos = read_label(page, release);
  read_detail_row("Catalog#:", page, pos, release.catalog_number);
  read_detail_row("Released:", page, pos, release.release_date);
  read_detail_row("Genre:", page, pos, release.genre);
  read_detail_row("Style:", page, pos, release.style);
  remove_char(release.genre, ' ');
  remove_char(release.style, ' ');
  decode_names(release);
  read_tracks(page, pos, release);
}

void read_detail_row(const std::string& label, const std::string& page, int& pos,
                     std::string& field) {
  const std::string marker = label + "</td><td>";
  const int match = find_text(page, marker, pos);
  if (match < 0) {
    pos = -1;
    return;
  }
  pos = match + static_cast<int>(marker.size());
  const int lt = next_char(page, '<', pos);
  if (lt < 0) return;
  field = slice(page, pos, lt);
  remove_tabs_and_breaks(field);
}
