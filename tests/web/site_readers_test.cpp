// The readers of the site's pages. Each row changes one thing on a page laid
// out as the site lays it out and says what is read from it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "web/hosts.h"
#include "web/site/discography.h"
#include "web/site/page_text.h"
#include "web/site/release_page.h"
#include "web/site/search_page.h"

namespace {

using ::testing::HasSubstr;
using Edits = std::vector<std::pair<std::string, std::string>>;

// The page with each edit's first text replaced by its second; an edit
// from "" replaces the whole page.
std::string edited(std::string page, const Edits& edits) {
  for (const auto& [from, to] : edits) {
    if (from.empty()) {
      page = to;
      continue;
    }
    EXPECT_THAT(page, HasSubstr(from));
    const size_t at = page.find(from);
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

// What the release page with the edits reads as; the picture from the image
// host as "IMG" and the path.
struct ReleaseRead {
  std::string artist, title, label, catalog_number, date, genre, style, picture;
  std::vector<std::string> numbers, artists, names;  // of the tracks
};

void expect_read(const Edits& edits, const ReleaseRead& want) {
  Release r;
  read_release_page(edited(kReleasePage, edits), r);
  std::string picture = r.picture_url;
  if (picture.rfind(kImageBase, 0) == 0) picture = "IMG" + picture.substr(strlen(kImageBase));
  EXPECT_EQ(r.artist, want.artist);
  EXPECT_EQ(r.title, want.title);
  EXPECT_EQ(r.label, want.label);
  EXPECT_EQ(r.catalog_number, want.catalog_number);
  EXPECT_EQ(r.release_date, want.date);
  EXPECT_EQ(r.genre, want.genre);
  EXPECT_EQ(r.style, want.style);
  EXPECT_EQ(picture, want.picture);
  EXPECT_EQ(r.track_numbers, want.numbers);
  EXPECT_EQ(r.track_artists, want.artists);
  EXPECT_EQ(r.track_names, want.names);
}

const std::string kHeader = "<a href=\"/artist/Mira+Vell\">Mira Vell</a> - First Light";
std::string track_row(const std::string& number, const std::string& artist,
                      const std::string& name) {
  return "<tr><td class=\"pos\">" + number + "</td><td>" + artist + "</td><td class=\"title\">" +
         name + "</td><td><small>3:12</small></td></tr>\n";
}
const std::string kTrackRows =
    track_row("1", "&nbsp;", "Opening") +
    track_row("2", "<a href=\"/artist/Oskar+Dunn\">Oskar Dunn</a>", "Harbour Lights");

TEST(ReleasePage, EveryFieldFromItsPlace) {
  const std::vector<std::string> numbers = {"1", "2"}, artists = {"Mira Vell", "Oskar Dunn"},
                                 names = {"Opening", "Harbour Lights"};
  const ReleaseRead whole = {
      "Mira Vell", "First Light",       "Quiet Harbour", "QH 001", "2001", "Electronic,Rock",
      "DrumnBass", "IMG/R/t/R-101.jpg", numbers,         artists,  names};
  const ReleaseRead none = {};
  const struct {
    const char* name;
    Edits edits;
    std::function<void(ReleaseRead&)> differs;  // from what the whole page reads
  } rows[] = {
      {"Whole", {}, [](ReleaseRead&) {}},
      // Header artists joined; a one-letter first name takes no separator.
      {"TwoArtists",
       {{kHeader, "<a href=\"/artist/A1\">A1</a>, <a href=\"/artist/B2\">B2</a> - Joint Work"}},
       [](ReleaseRead& r) {
         r.artist = r.artists[0] = "A1 and B2";
         r.title = "Joint Work";
       }},
      {"OneLetterArtist",
       {{kHeader, "<a href=\"/artist/X\">X</a> <a href=\"/artist/Yz\">Yz</a> - Short"}},
       [](ReleaseRead& r) {
         r.artist = r.artists[0] = "XYz";
         r.title = "Short";
       }},
      // No artist links: the title from the title tag, its slashes as "and".
      {"NoArtistLinks",
       {{"Mira Vell - First Light</title>", "Mira/Vell  -  Live/Dub</title>"},
        {kHeader, "Various - Other Title"}},
       [](ReleaseRead& r) {
         r.artist = r.artists[0] = "";
         r.title = "LiveandDub";
       }},
      {"TitleTagOnly",
       {{"", "<title>Mira Vell - First Light</title><body>nothing else"}},
       [&](ReleaseRead& r) {
         r = none;
         r.artist = "Mira Vell";
         r.title = "First Light";
       }},
      // The header's entities decoded, its UTF-8 in the code page; a track's
      // own artist as it stands.
      {"Entities",
       {{kHeader, "<a href=\"/artist/Zoe\">Zo&euml; &amp; Fr\303\251d</a> - Duets"},
        {"Oskar Dunn</a>", "R&amp;B Fr\xC3\xA9re</a>"}},
       [](ReleaseRead& r) {
         r.artist = r.artists[0] = "Zo & Fr\351d";
         r.title = "Duets";
         r.artists[1] = "R&amp;B Fr\xE9re";
       }},
      // The rows are looked for in their order; without the style or the
      // label link there are no tracks.
      {"NoStyle",
       {{"<tr><td>Style:</td><td>Drum n Bass</td></tr>\n", ""}},
       [](ReleaseRead& r) {
         r.style = "";
         r.numbers = r.artists = r.names = {};
       }},
      {"CatalogueAfterGenre",
       {{"<tr><td>Catalog#:</td><td>QH 001</td></tr>\n", ""},
        {"<tr><td>Genre:", "<tr><td>Catalog#:</td><td>QH 002</td></tr><tr><td>Genre:"}},
       [](ReleaseRead& r) {
         r.catalog_number = "QH 002";
         r.date = r.genre = r.style = "";
         r.numbers = r.artists = r.names = {};
       }},
      {"NoLabelLink",
       {{"<a href=\"/label/QH\">Quiet Harbour</a>", "Not On Label"}},
       [&](ReleaseRead& r) {
         r = none;
         r.artist = "Mira Vell";
         r.title = "First Light";
         r.picture = whole.picture;
       }},
      // Track names: credit brackets cut, entities decoded once, empty
      // cells and notes never start a track.
      {"TrackNames",
       {{kTrackRows, track_row("1", "", "Song (Remix: DJ X)") +
                         track_row("2", "", "Song (Club Mix)") +
                         track_row("3", "", "Song (Live) (Edit: Short)") +
                         track_row("4", "", "Intro:(Part 1)") + track_row("&nbsp;", "", "&nbsp;") +
                         track_row("", "", "") +
                         track_row("A4", "", "Rock &amp; Roll &quot;Caf\xC3\xA9&quot; &amp;amp;")}},
       [](ReleaseRead& r) {
         r.numbers = {"1", "2", "3", "4", "A4"};
         r.artists.assign(5, "Mira Vell");
         r.names = {"Song", "Song (Club Mix)", "Song (Live)", "Intro:(Part 1)",
                    "Rock & Roll Caf\xE9 &amp;"};
       }},
      // The picture: from the image host, or any host behind the viewer's link.
      {"PictureElsewhere",
       {{std::string(kImageBase) + "/R/t/R-101.jpg", "http://other.example/p.jpg"}},
       [](ReleaseRead& r) { r.picture = "http://other.example/p.jpg"; }},
      {"PictureElsewhereWithoutViewer",
       {{"<a href=\"/viewimages?release=101\">", ""},
        {std::string(kImageBase) + "/R/t/R-101.jpg", "http://other.example/p.jpg"}},
       [](ReleaseRead& r) { r.picture = ""; }},
      {"CutPicture",
       {{"", "<img src=\"" + std::string(kImageBase) + "/R/t/R-1"}},
       [&](ReleaseRead& r) { r = none; }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ReleaseRead want = whole;
    row.differs(want);
    expect_read(row.edits, want);
  }
}

// One row of a discography as read: its link and its entry's fields.
struct EntryRead {
  std::string link, artist, title, format, label;
};

void expect_entries(bool label, const std::string& page, bool found,
                    const std::vector<EntryRead>& want) {
  std::vector<std::string> links = {"kept"};
  std::vector<ReleaseEntry> entries;
  EXPECT_EQ(
      label ? parse_label_page(page, links, entries) : parse_artist_page(page, links, entries),
      found);
  ASSERT_EQ(links.size(), entries.size() + 1);
  ASSERT_EQ(entries.size(), want.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i + 1));
    EXPECT_EQ(links[i + 1], want[i].link);
    EXPECT_EQ(entries[i].artist, want[i].artist);
    EXPECT_EQ(entries[i].title, want[i].title);
    EXPECT_EQ(entries[i].format, want[i].format);
    EXPECT_EQ(entries[i].label, want[i].label);
  }
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
    std::string page;
    bool found;
    std::vector<EntryRead> read;
  } rows[] = {
      {false,
       head + artist_row("1", "First Light", "CD, Album") +
           artist_row("7", "Salt &amp; Pepper", "12\", Single"),
       true,
       {{"/release/1", "", "First Light", "CD, Album", "L1"},
        {"/release/7", "", "Salt &amp; Pepper", "12\", Single", "L7"}}},
      {false,
       head + artist_row("1", "Own", "LP") + "<h2>Appears On:</h2>" +
           artist_row("2", "Guest", "LP"),
       true,
       {{"/release/1", "", "Own", "LP", "L1"}}},
      {false,
       head + artist_row("1", "Own", "LP") + "<h2>Tracks Appear On:</h2>" +
           artist_row("2", "G", "LP"),
       true,
       {{"/release/1", "", "Own", "LP", "L1"}}},
      // "Remixes:" is looked for first, wherever "Appears On:" stands.
      {false,
       head + artist_row("1", "Own", "LP") + "<h2>Appears On:</h2>" +
           artist_row("2", "Guest", "LP") + "<h2>Remixes:</h2>" + artist_row("3", "Remix", "LP"),
       true,
       {{"/release/1", "", "Own", "LP", "L1"}, {"/release/2", "", "Guest", "LP", "L2"}}},
      {false, head + "<h2>Remixes:</h2>" + artist_row("3", "Remix", "LP"), true, {}},
      {false, "<a href=\"/release/1\">x</a>", false, {}},
      {false,
       head + artist_row("1", "Twice", "LP") + artist_row("1", "Twice", "LP"),
       true,
       {{"/release/1", "", "Twice", "LP", "L1"}, {"/release/1", "", "Twice", "LP", "L1"}}},
      {false,
       head + "<tr><td><a href=\"/release/1\">Song (Live)</a> (CD) (Promo)</td>"
              "<td><a href=\"/label/L\">L</a> (not this)</td></tr>",
       true,
       {{"/release/1", "", "Song (Live)", "Promo", "L"}}},
      // Cut pages keep the lists side by side.
      {false,
       "Releases:" + artist_row("1", "A", "LP") + "<a href=\"/release/99",
       true,
       {{"/release/1", "", "A", "LP", "L1"}}},
      {false,
       "Releases:<a href=\"/release/5\">Five</a> (LP)",
       true,
       {{"/release/5", "", "Five", "", ""}}},
      {false, "Releases:<a href=\"/release/5\" x", true, {{"/release/5", "", "", "", ""}}},
      // Label pages: the artist is the last link before the release; the
      // page's UTF-8 in the code page, text that is not UTF-8 as it stands.
      {true,
       label + label_row("Mira Vell", "201", "Lanterns") +
           label_row("C\xC3\xA9leste", "203", "Sm\xC3\xA5") + label_row("Old", "204", "Sm\xE5") +
           "<h2>User Comments &amp; Reviews:</h2>" + label_row("B", "2", "Two"),
       true,
       {{"/release/201", "Mira Vell", "Lanterns", "LP", ""},
        {"/release/203", "C\xE9leste", "Sm\xE5", "LP", ""},
        {"/release/204", "Old", "Sm\xE5", "LP", ""}}},
      {true,
       label + "<tr><td><a href=\"/artist/a\">First</a> &amp; <a href=\"/label/l\">Other</a></td>"
               "<td><a href=\"/release/1\">T</a> (LP) (Ltd)</td></tr>",
       true,
       {{"/release/1", "Other", "T", "Ltd", ""}}},
      {true, label_row("A", "1", "One"), false, {}},
      {true,
       "Discography:<a href=\"/artist/a\">A</a><a href=\"/release/3\">Three</a> (CD)",
       true,
       {{"/release/3", "A", "Three", "", ""}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.page);
    expect_entries(row.label, row.page, row.found, row.read);
  }
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
