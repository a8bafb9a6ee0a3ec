// The readers of the site's pages. Each row changes one thing on a page laid
// out as the site lays it out and says, in one line, what is read from it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "web/hosts.h"
#include "web/site/discography.h"
#include "web/site/page_text.h"
#include "web/site/release_page.h"
#include "web/site/search_page.h"

namespace {

using Edits = std::vector<std::pair<std::string, std::string>>;

// The page with each edit's first text replaced by its second; an edit
// from "" replaces the whole page.
std::string edited(std::string page, const Edits& edits) {
  for (const auto& [from, to] : edits) {
    if (from.empty()) {
      page = to;
      continue;
    }
    const size_t at = page.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) page.replace(at, from.size(), to);
  }
  return page;
}

const std::string kReleasePage =
    "<html><head><title>Mira Vell - First Light</title></head><body>\n"
    "<div class=\"image\"><a href=\"/viewimages?release=101\"><img src=\"" +
    std::string(kImageBase) +
    "/R/t/R-101.jpg\" width=\"150\"></a></div>\n"
    "<h1 class=\"releaseTitle\"><a href=\"/artist/Mira+Vell\">Mira Vell</a> - First Light</h1>\n"
    "<table class=\"details\"><tr><td>Label:</td><td><a href=\"/label/QH\">Quiet "
    "Harbour</a></td></tr>\n"
    "<tr><td>Catalog#:</td><td>QH 001</td></tr>\n<tr><td>Format:</td><td>CD, Album</td></tr>\n"
    "<tr><td>Released:</td><td>2001</td></tr>\n<tr><td>Genre:</td><td>Electronic, Rock</td></tr>\n"
    "<tr><td>Style:</td><td>Drum n Bass</td></tr>\n</table>\n<h2>Tracklisting:</h2><table>\n"
    "<tr><td class=\"pos\">1</td><td>&nbsp;</td><td class=\"title\">Opening</td>"
    "<td><small>3:12</small></td></tr>\n"
    "<tr><td class=\"pos\">2</td><td><a href=\"/artist/Oskar+Dunn\">Oskar Dunn</a></td>"
    "<td class=\"title\">Harbour Lights</td><td><small>3:12</small></td></tr>\n"
    "</table>\n<h2>Notes:</h2><p>Recorded (mostly) live.</p></body></html>\n";

// "artist|title|label|catalogue|date|genre|style|picture|number:artist:name;..."
std::string release_read(const Edits& edits) {
  Release r;
  read_release_page(edited(kReleasePage, edits), r);
  std::string picture = r.picture_url;
  if (picture.rfind(kImageBase, 0) == 0) picture = "IMG" + picture.substr(strlen(kImageBase));
  std::string text = r.artist + "|" + r.title + "|" + r.label + "|" + r.catalog_number + "|" +
                     r.release_date + "|" + r.genre + "|" + r.style + "|" + picture + "|";
  EXPECT_EQ(r.track_names.size(), r.track_numbers.size());
  EXPECT_EQ(r.track_names.size(), r.track_artists.size());
  for (size_t i = 0; i < r.track_names.size(); ++i)
    text += r.track_numbers[i] + ":" + r.track_artists[i] + ":" + r.track_names[i] + ";";
  return text;
}

const std::string kHeader = "<a href=\"/artist/Mira+Vell\">Mira Vell</a> - First Light";
const std::string kTracks = "1:Mira Vell:Opening;2:Oskar Dunn:Harbour Lights;";
std::string track_row(const std::string& number, const std::string& artist,
                      const std::string& name) {
  return "<tr><td class=\"pos\">" + number + "</td><td>" + artist + "</td><td class=\"title\">" +
         name + "</td><td><small>3:12</small></td></tr>\n";
}
const std::string kTrackRows =
    track_row("1", "&nbsp;", "Opening") +
    track_row("2", "<a href=\"/artist/Oskar+Dunn\">Oskar Dunn</a>", "Harbour Lights");

TEST(ReleasePage, EveryFieldFromItsPlace) {
  const struct {
    Edits edits;
    std::string read;
  } rows[] = {
      {{},
       "Mira Vell|First Light|Quiet Harbour|QH 001|2001|Electronic,Rock|DrumnBass|"
       "IMG/R/t/R-101.jpg|" +
           kTracks},
      // Header artists joined; a one-letter first name takes no separator.
      {{{kHeader, "<a href=\"/artist/A1\">A1</a>, <a href=\"/artist/B2\">B2</a> - Joint Work"}},
       "A1 and B2|Joint Work|Quiet Harbour|QH 001|2001|Electronic,Rock|DrumnBass|"
       "IMG/R/t/R-101.jpg|1:A1 and B2:Opening;2:Oskar Dunn:Harbour Lights;"},
      {{{kHeader, "<a href=\"/artist/X\">X</a> <a href=\"/artist/Yz\">Yz</a> - Short"}},
       "XYz|Short|Quiet Harbour|QH 001|2001|Electronic,Rock|DrumnBass|IMG/R/t/R-101.jpg|"
       "1:XYz:Opening;2:Oskar Dunn:Harbour Lights;"},
      // No artist links: the title from the title tag, its slashes as "and".
      {{{"Mira Vell - First Light</title>", "Mira/Vell  -  Live/Dub</title>"},
        {kHeader, "Various - Other Title"}},
       "|LiveandDub|Quiet Harbour|QH 001|2001|Electronic,Rock|DrumnBass|IMG/R/t/R-101.jpg|"
       "1::Opening;2:Oskar Dunn:Harbour Lights;"},
      {{{"", "<title>Mira Vell - First Light</title><body>nothing else"}},
       "Mira Vell|First Light|||||||"},
      // The header's entities decoded, its UTF-8 in the code page; a track's
      // own artist as it stands.
      {{{kHeader,
         "<a href=\"/artist/Zoe\">Zo&euml; &amp; Fr\xC3\xA9"
         "d</a> - Duets"},
        {"Oskar Dunn</a>", "R&amp;B Fr\xC3\xA9re</a>"}},
       "Zo & Fr\xE9"
       "d|Duets|Quiet Harbour|QH 001|2001|Electronic,Rock|DrumnBass|"
       "IMG/R/t/R-101.jpg|1:Zo & Fr\xE9"
       "d:Opening;2:R&amp;B Fr\xE9re:Harbour Lights;"},
      // The rows are looked for in their order; without the style or the
      // label link there are no tracks.
      {{{"<tr><td>Style:</td><td>Drum n Bass</td></tr>\n", ""}},
       "Mira Vell|First Light|Quiet Harbour|QH 001|2001|Electronic,Rock||IMG/R/t/R-101.jpg|"},
      {{{"<tr><td>Catalog#:</td><td>QH 001</td></tr>\n", ""},
        {"<tr><td>Genre:", "<tr><td>Catalog#:</td><td>QH 002</td></tr><tr><td>Genre:"}},
       "Mira Vell|First Light|Quiet Harbour|QH 002||||IMG/R/t/R-101.jpg|"},
      {{{"<a href=\"/label/QH\">Quiet Harbour</a>", "Not On Label"}},
       "Mira Vell|First Light||||||IMG/R/t/R-101.jpg|"},
      // Track names: credit brackets cut, entities decoded once, empty
      // cells and notes never start a track.
      {{{kTrackRows, track_row("1", "", "Song (Remix: DJ X)") +
                         track_row("2", "", "Song (Club Mix)") +
                         track_row("3", "", "Song (Live) (Edit: Short)") +
                         track_row("4", "", "Intro:(Part 1)") + track_row("&nbsp;", "", "&nbsp;") +
                         track_row("", "", "") +
                         track_row("A4", "", "Rock &amp; Roll &quot;Caf\xC3\xA9&quot; &amp;amp;")}},
       "Mira Vell|First Light|Quiet Harbour|QH 001|2001|Electronic,Rock|DrumnBass|"
       "IMG/R/t/R-101.jpg|1:Mira Vell:Song;2:Mira Vell:Song (Club Mix);3:Mira Vell:Song (Live);"
       "4:Mira Vell:Intro:(Part 1);"
       "A4:Mira Vell:Rock & Roll Caf\xE9 &amp;;"},
      // The picture: from the image host, or any host behind the viewer's link.
      {{{std::string(kImageBase) + "/R/t/R-101.jpg", "http://other.example/p.jpg"}},
       "Mira Vell|First Light|Quiet Harbour|QH 001|2001|Electronic,Rock|DrumnBass|"
       "http://other.example/p.jpg|" +
           kTracks},
      {{{"<a href=\"/viewimages?release=101\">", ""},
        {std::string(kImageBase) + "/R/t/R-101.jpg", "http://other.example/p.jpg"}},
       "Mira Vell|First Light|Quiet Harbour|QH 001|2001|Electronic,Rock|DrumnBass||" + kTracks},
      {{{"", "<img src=\"" + std::string(kImageBase) + "/R/t/R-1"}}, "||||||||"},
  };
  for (const auto& row : rows) EXPECT_EQ(release_read(row.edits), row.read);
}

// "found|link:artist:title:format:label;..."
std::string entries_read(bool label, const std::string& page) {
  std::vector<std::string> links = {"kept"};
  std::vector<ReleaseEntry> entries;
  const bool found =
      label ? parse_label_page(page, links, entries) : parse_artist_page(page, links, entries);
  std::string text = found ? "found|" : "none|";
  EXPECT_EQ(links.size(), entries.size() + 1);
  for (size_t i = 0; i < entries.size() && i + 1 < links.size(); ++i)
    text += links[i + 1] + ":" + entries[i].artist + ":" + entries[i].title + ":" +
            entries[i].format + ":" + entries[i].label + ";";
  return text;
}

std::string artist_row(const std::string& id, const std::string& title, const std::string& format) {
  return "<tr><td><a href=\"/release/" + id + "\">" + title + "</a> (" + format +
         ")</td><td><a href=\"/label/L\">L" + id + "</a></td><td>2001</td></tr>\n";
}
std::string label_row(const std::string& artist, const std::string& id, const std::string& title) {
  return "<tr><td><a href=\"/artist/x\">" + artist + "</a></td><td><a href=\"/release/" + id +
         "\">" + title + "</a> (LP)</td><td>1999</td></tr>\n";
}

TEST(DiscographyPages, EveryReleaseRowOfTheOwnSection) {
  const std::string head = "<h1>Mira Vell</h1><p>Real name: M. Vell</p><h2>Releases:</h2><table>";
  const std::string label = "<h1>QH</h1><p>Contact: (none)</p><h2>Discography:</h2><table>";
  const struct {
    bool label;
    std::string page, read;
  } rows[] = {
      {false,
       head + artist_row("1", "First Light", "CD, Album") +
           artist_row("7", "Salt &amp; Pepper", "12\", Single"),
       "found|/release/1::First Light:CD, Album:L1;/release/7::Salt &amp; Pepper:12\", Single:L7;"},
      {false,
       head + artist_row("1", "Own", "LP") + "<h2>Appears On:</h2>" +
           artist_row("2", "Guest", "LP"),
       "found|/release/1::Own:LP:L1;"},
      {false,
       head + artist_row("1", "Own", "LP") + "<h2>Tracks Appear On:</h2>" +
           artist_row("2", "G", "LP"),
       "found|/release/1::Own:LP:L1;"},
      // "Remixes:" is looked for first, wherever "Appears On:" stands.
      {false,
       head + artist_row("1", "Own", "LP") + "<h2>Appears On:</h2>" +
           artist_row("2", "Guest", "LP") + "<h2>Remixes:</h2>" + artist_row("3", "Remix", "LP"),
       "found|/release/1::Own:LP:L1;/release/2::Guest:LP:L2;"},
      {false, head + "<h2>Remixes:</h2>" + artist_row("3", "Remix", "LP"), "found|"},
      {false, "<a href=\"/release/1\">x</a>", "none|"},
      {false, head + artist_row("1", "Twice", "LP") + artist_row("1", "Twice", "LP"),
       "found|/release/1::Twice:LP:L1;/release/1::Twice:LP:L1;"},
      {false,
       head + "<tr><td><a href=\"/release/1\">Song (Live)</a> (CD) (Promo)</td>"
              "<td><a href=\"/label/L\">L</a> (not this)</td></tr>",
       "found|/release/1::Song (Live):Promo:L;"},
      // Cut pages keep the lists side by side.
      {false, "Releases:" + artist_row("1", "A", "LP") + "<a href=\"/release/99",
       "found|/release/1::A:LP:L1;"},
      {false, "Releases:<a href=\"/release/5\">Five</a> (LP)", "found|/release/5::Five::;"},
      {false, "Releases:<a href=\"/release/5\" x", "found|/release/5::::;"},
      // Label pages: the artist is the last link before the release; the
      // page's UTF-8 in the code page, text that is not UTF-8 as it stands.
      {true,
       label + label_row("Mira Vell", "201", "Lanterns") +
           label_row("C\xC3\xA9leste", "203", "Sm\xC3\xA5") + label_row("Old", "204", "Sm\xE5") +
           "<h2>User Comments &amp; Reviews:</h2>" + label_row("B", "2", "Two"),
       "found|/release/201:Mira "
       "Vell:Lanterns:LP:;/release/203:C\xE9leste:Sm\xE5:LP:;/release/204:Old:Sm\xE5:LP:;"},
      {true,
       label + "<tr><td><a href=\"/artist/a\">First</a> &amp; <a href=\"/label/l\">Other</a></td>"
               "<td><a href=\"/release/1\">T</a> (LP) (Ltd)</td></tr>",
       "found|/release/1:Other:T:Ltd:;"},
      {true, label_row("A", "1", "One"), "none|"},
      {true, "Discography:<a href=\"/artist/a\">A</a><a href=\"/release/3\">Three</a> (CD)",
       "found|/release/3:A:Three::;"},
  };
  for (const auto& row : rows) EXPECT_EQ(entries_read(row.label, row.page), row.read) << row.page;
}

TEST(SearchPage, ArtistsThenLabelsEachOnceFromListItemsOnly) {
  const std::pair<std::string, std::vector<std::string>> rows[] = {
      {"<h1>Search results</h1><a href=\"/artist/Not+Listed\">x</a><li><a "
       "href=\"/label/QH\">q</a></li>"
       "<li><a href=\"/artist/Mira\">m</a></li><li><a href=\"/release/9\">r</a></li>"
       "<li><a href=\"/label/QH\">q</a></li><li><a href=\"/artist/Oskar\">o</a></li>"
       "<li><a href=\"/artist/Mira\">m</a></li>",
       {"/artist/Mira", "/artist/Oskar", "/label/QH"}},
      {"<li><a href=\"/artist/Mira+V", {"/artist/Mira+V"}},  // a cut link runs to the end
      {"<li><a href=\"", {}},
  };
  for (const auto& [page, links] : rows) {
    std::vector<std::string> read;
    extract_search_results(page, read);
    EXPECT_EQ(read, links) << page;
  }
  EXPECT_TRUE(is_search_result_page("<h1>Search results</h1>"));
  EXPECT_TRUE(is_search_result_page("<p>Your search for 'x' found nothing</p>"));
  EXPECT_FALSE(is_search_result_page("<h1>search Results</h1>"));
}

TEST(SearchPage, TheTermAsTheQueryCarriesIt) {
  const std::pair<std::string, std::string> rows[] = {{"Mira  Vell", "Mira++Vell"},
                                                      {"Rock & Roll", "Rock+%26+Roll"},
                                                      {"#1 + 50%", "%231+%2B+50%25"},
                                                      {"a\tb", "a%09b"},
                                                      {"Caf\xE9", "Caf%C3%A9"},
                                                      {"\x80uro", "%E2%82%ACuro"},
                                                      {"x\x7Fy", "x%7Fy"}};
  for (const auto& [term, query] : rows) EXPECT_EQ(encode_search_term(term), query) << term;
}

TEST(PageText, EntitiesDecodedOnceAndUtf8InTheCodePage) {
  const std::pair<std::string, std::string> entities[] = {{"Rock &amp; Roll", "Rock & Roll"},
                                                          {"&amp;amp;", "&amp;"},
                                                          {"&amp;&amp;", "&&"},
                                                          {"&quot;Live&quot;", "Live"},
                                                          {"it&#39;s", "its"},
                                                          {"&lt;&gt;x", "x"},
                                                          {"Salt & Pepper", "Salt & Pepper"},
                                                          {"A & B; C", "A  C"},
                                                          {"A &long-word; B", "A &long-word; B"},
                                                          {"tail &", "tail &"},
                                                          {"&;", ""}};
  for (auto [text, expected] : entities) {
    decode_entities(text);
    EXPECT_EQ(text, expected);
  }
  // Accented letters become one byte; other characters go whole, also cut ones.
  const std::pair<std::string, std::string> utf8[] = {{"Caf\xC3\xA9 \xC3\x80", "Caf\xE9 \xC0"},
                                                      {"", ""},
                                                      {"1\xC2\xB0", "1"},
                                                      {"Don\xE2\x80\x99t Stop", "Dont Stop"},
                                                      {"\xF0\x9F\x8E\xB5x", "x"},
                                                      {"a\x7F"
                                                       "b",
                                                       "ab"},
                                                      {"Caf\xE9 noir", "Caf noir"},
                                                      {"\xC3"
                                                       "A",
                                                       "A"},
                                                      {"a\xC3\xA9", "a"}};
  for (const auto& [text, expected] : utf8) {
    std::string out = "stale";
    // The last row's length stops inside its last character.
    utf8_to_latin1(text.data(), text == "a\xC3\xA9" ? 2 : text.size(), out);
    EXPECT_EQ(out, expected) << text;
  }
}

}  // namespace
