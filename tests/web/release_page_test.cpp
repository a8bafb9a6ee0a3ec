#include "web/release_page.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "web/hosts.h"
#include "web/page_text.h"

namespace {

struct TrackRow {
  std::string number, artist_cell, title;
};

// A release page as the database lays it out, built from its parts so that
// each test changes only what it is about.
struct PageParts {
  std::string title_tag = "Mira Vell - First Light";
  std::string picture = std::string("<a href=\"/viewimages?release=101\"><img src=\"") +
                        kImageBase + "/R/t/R-101.jpg\" width=\"150\"></a>";
  std::string header = "<a href=\"/artist/Mira+Vell\">Mira Vell</a> - First Light";
  std::string label = "<a href=\"/label/Quiet+Harbour\">Quiet Harbour</a>";
  std::vector<std::pair<std::string, std::string>> rows = {
      {"Catalog#:", "QH 001"}, {"Format:", "CD, Album"},       {"Country:", "UK"},
      {"Released:", "2001"},   {"Genre:", "Electronic, Rock"}, {"Style:", "Drum n Bass"}};
  std::vector<TrackRow> tracks = {
      {"1", "&nbsp;", "Opening"},
      {"2", "<a href=\"/artist/Oskar+Dunn\">Oskar Dunn</a>", "Harbour Lights"}};
};

std::string release_page(const PageParts& parts) {
  std::string page = "<html><head><title>" + parts.title_tag +
                     "</title>\n<link rel=\"stylesheet\" href=\"/s.css\"></head><body>\n"
                     "<div id=\"menu\"><a href=\"/\">Home</a> | <a href=\"/search\">Search</a>"
                     "</div>\n<div class=\"image\">" +
                     parts.picture + "</div>\n<div class=\"profile\"><h1 class=\"releaseTitle\">" +
                     parts.header + "</h1>\n<table class=\"details\">\n<tr><td>Label:</td><td>" +
                     parts.label + "</td></tr>\n";
  for (const auto& row : parts.rows) {
    page += "<tr><td>" + row.first + "</td><td>" + row.second + "</td></tr>\n";
  }
  page += "</table></div>\n<h2>Tracklisting:</h2>\n<table class=\"tracklist\">\n";
  for (const TrackRow& track : parts.tracks) {
    page += "<tr><td class=\"pos\">" + track.number + "</td><td>" + track.artist_cell +
            "</td><td class=\"title\">" + track.title + "</td><td><small>3:12</small></td></tr>\n";
  }
  return page + "</table>\n<h2>Notes:</h2><p>Recorded (mostly) live.</p></body></html>\n";
}

Release read(const PageParts& parts) {
  Release release;
  read_release_page(release_page(parts), release);
  return release;
}

std::string decoded(std::string text) {
  decode_entities(text);
  return text;
}

std::string latin1(const std::string& utf8) {
  std::string out = "stale";
  utf8_to_latin1(utf8.data(), utf8.size(), out);
  return out;
}

}  // namespace

TEST(ReleasePage, ReadsEveryField) {
  const Release release = read(PageParts());
  EXPECT_EQ(release.artist, "Mira Vell");
  EXPECT_EQ(release.title, "First Light");
  EXPECT_EQ(release.label, "Quiet Harbour");
  EXPECT_EQ(release.catalog_number, "QH 001");
  EXPECT_EQ(release.release_date, "2001");
  EXPECT_EQ(release.genre, "Electronic,Rock");
  EXPECT_EQ(release.style, "DrumnBass");
  EXPECT_EQ(release.picture_url, std::string(kImageBase) + "/R/t/R-101.jpg");
  EXPECT_EQ(release.track_numbers, (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(release.track_names, (std::vector<std::string>{"Opening", "Harbour Lights"}));
  EXPECT_EQ(release.track_artists, (std::vector<std::string>{"Mira Vell", "Oskar Dunn"}));
}

TEST(ReleasePage, HeaderArtistsAreJoinedWithAnd) {
  PageParts parts;
  parts.header = "<a href=\"/artist/A1\">A1</a>, <a href=\"/artist/B2\">B2</a> - Joint Work";
  Release release = read(parts);
  EXPECT_EQ(release.artist, "A1 and B2");
  EXPECT_EQ(release.title, "Joint Work");
  EXPECT_EQ(release.track_artists[0], "A1 and B2");

  parts.header = "<a href=\"/artist/X\">X</a> <a href=\"/artist/Yz\">Yz</a> - Short";
  EXPECT_EQ(read(parts).artist, "XYz");  // a one-letter first name takes no separator
}

TEST(ReleasePage, HeaderWithoutArtistLinksKeepsTheTitleTag) {
  PageParts parts;
  parts.title_tag = "Mira/Vell  -  Live/Dub";
  parts.header = "Various - Other Title";
  const Release release = read(parts);
  EXPECT_EQ(release.artist, "");
  EXPECT_EQ(release.title, "LiveandDub");
}

TEST(ReleasePage, TitleTagGivesBothWhenTheHeaderIsMissing) {
  const std::string page = "<title>Mira Vell - First Light</title><body>nothing else";
  Release release;
  read_release_page(page, release);
  EXPECT_EQ(release.artist, "Mira Vell");
  EXPECT_EQ(release.title, "First Light");
  EXPECT_TRUE(release.track_names.empty());
}

TEST(ReleasePage, RemixBracketsCutTheName) {
  PageParts parts;
  parts.tracks = {{"1", "", "Song (Remix: DJ X)"},
                  {"2", "", "Song (Club Mix)"},
                  {"3", "", "Song (Live) (Edit: Short)"},
                  {"4", "", "Song (unclosed"}};
  EXPECT_EQ(read(parts).track_names,
            (std::vector<std::string>{"Song", "Song (Club Mix)", "Song (Live)", "Song (unclosed"}));
}

TEST(ReleasePage, MissingStyleRowLeavesNoTracks) {
  PageParts parts;
  parts.rows.pop_back();
  const Release release = read(parts);
  EXPECT_EQ(release.genre, "Electronic,Rock");
  EXPECT_EQ(release.style, "");
  EXPECT_TRUE(release.track_names.empty());
  EXPECT_TRUE(release.track_numbers.empty());
  EXPECT_TRUE(release.track_artists.empty());
}

TEST(ReleasePage, RowsAreOnlyFoundInTheirOrder) {
  PageParts parts;
  parts.rows = {
      {"Released:", "2001"}, {"Catalog#:", "QH 001"}, {"Genre:", "Rock"}, {"Style:", "Indie"}};
  const Release release = read(parts);
  EXPECT_EQ(release.catalog_number, "QH 001");
  EXPECT_EQ(release.release_date, "");
  EXPECT_EQ(release.genre, "");
  EXPECT_TRUE(release.track_names.empty());
}

TEST(ReleasePage, MissingLabelLinkMeansNoDetailsAndNoTracks) {
  PageParts parts;
  parts.label = "Not On Label";
  const Release release = read(parts);
  EXPECT_EQ(release.label, "");
  EXPECT_EQ(release.catalog_number, "");
  EXPECT_EQ(release.style, "");
  EXPECT_TRUE(release.track_names.empty());
  EXPECT_EQ(release.artist, "Mira Vell");
}

TEST(ReleasePage, TrackArtistFallsBackToTheDecodedReleaseArtist) {
  PageParts parts;
  parts.header =
      "<a href=\"/artist/Zoe\">Zo&euml; &amp; Fr\xC3\xA9"
      "d</a> - Duets";
  parts.tracks = {{"1", "", "One"}, {"2", "<a href=\"/artist/R\">R&amp;B Fr\xC3\xA9re</a>", "Two"}};
  const Release release = read(parts);
  EXPECT_EQ(release.artist,
            "Zo & Fr\xE9"
            "d");
  EXPECT_EQ(release.track_artists, (std::vector<std::string>{"Zo & Fr\xE9"
                                                             "d",
                                                             "R&amp;B Fr\xE9re"}));
}

TEST(ReleasePage, TrackNamesAreDecodedAndConverted) {
  PageParts parts;
  parts.tracks = {{"A1", "", "Rock &amp; Roll &quot;Caf\xC3\xA9&quot;"}, {"B2", "", "&amp;amp;"}};
  const Release release = read(parts);
  EXPECT_EQ(release.track_numbers, (std::vector<std::string>{"A1", "B2"}));
  EXPECT_EQ(release.track_names, (std::vector<std::string>{"Rock & Roll Caf\xE9", "&amp;"}));
}

TEST(ReleasePage, EmptyCellsAndNotesNeverStartATrack) {
  PageParts parts;
  parts.tracks = {{"&nbsp;", "", "&nbsp;"}, {"1", "", "Real"}, {"", "", ""}, {"2", "", "Also"}};
  const Release release = read(parts);
  EXPECT_EQ(release.track_names, (std::vector<std::string>{"Real", "Also"}));
  EXPECT_EQ(release.track_numbers, (std::vector<std::string>{"1", "2"}));
}

TEST(ReleasePage, PictureFromTheImageHostOrTheViewer) {
  PageParts parts;
  parts.picture = "<a href=\"/viewimages?release=101\"><img src=\"http://other.example/p.jpg\">";
  EXPECT_EQ(read(parts).picture_url, "http://other.example/p.jpg");
  parts.picture = "<img src=\"http://other.example/p.jpg\">";
  EXPECT_EQ(read(parts).picture_url, "");
}

TEST(ReleasePage, CutPictureAddressIsNotKept) {
  Release release;
  read_release_page(std::string("<img src=\"") + kImageBase + "/R/t/R-1", release);
  EXPECT_EQ(release.picture_url, "");
}

// "&amp;" becomes '&' once, other entities go, an '&' without a ';' close
// behind it stays.
TEST(Entities, DecodedOnce) {
  const std::pair<std::string, std::string> cases[] = {
      {"Rock &amp; Roll Nights", "Rock & Roll Nights"}, {"&amp;amp;", "&amp;"}, {"&amp;&amp;", "&&"},
      {"&quot;Live&quot;", "Live"}, {"it&#39;s", "its"}, {"&lt;&gt;x", "x"},
      {"Salt & Pepper", "Salt & Pepper"}, {"A & B; C", "A  C"},
      {"A &long-word; B", "A &long-word; B"}, {"tail &", "tail &"}, {"&;", ""}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(decoded(text), expected) << text;
}

// Accented letters become one byte; other characters go whole, also cut ones.
TEST(Latin1, FromUtf8) {
  const std::pair<std::string, std::string> cases[] = {
      {"Caf\xC3\xA9 \xC3\x80", "Caf\xE9 \xC0"}, {"", ""}, {"1\xC2\xB0", "1"},
      {"Don\xE2\x80\x99t Stop", "Dont Stop"}, {"\xF0\x9F\x8E\xB5x", "x"}, {"a\x7F" "b", "ab"},
      {"Caf\xE9 noir", "Caf noir"}, {"\xC3" "A", "A"}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(latin1(text), expected) << text;
  const char bytes[] = {'a', '\xC3', '\xA9'};
  std::string out;
  utf8_to_latin1(bytes, 2, out);
  EXPECT_EQ(out, "a");
}

TEST(SlashToAnd, EverySlashBecomesAnd) {
  std::string text = "A/B //";
  slash_to_and(text);
  EXPECT_EQ(text, "AandB andand");
}
