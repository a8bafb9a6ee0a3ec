#include "web/discography.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Row {
  std::string link, title, format, label;
};

// One release row as the artist page lays it out.
std::string artist_row(const Row& row) {
  return "<tr class=\"release\"><td class=\"title\"><a href=\"" + row.link + "\">" + row.title +
         "</a> (" + row.format + ")</td><td class=\"label\"><a href=\"/label/" + row.label + "\">" +
         row.label + "</a></td><td class=\"year\">2001</td></tr>\n";
}

std::string artist_page(const std::string& releases, const std::string& rest = "") {
  return "<html><head><title>Mira Vell</title></head><body>\n"
         "<div id=\"profile\"><h1>Mira Vell</h1><p>Real name: M. Vell</p></div>\n"
         "<h2>Releases:</h2><table class=\"discography\">\n" +
         releases + "</table>\n" + rest + "<div id=\"footer\">(c) the site</div></body></html>\n";
}

struct Parsed {
  bool found;
  std::vector<std::string> links;
  std::vector<ReleaseEntry> entries;
};

Parsed parse_artist(const std::string& page) {
  Parsed parsed;
  parsed.found = parse_artist_page(page, parsed.links, parsed.entries);
  return parsed;
}

Parsed parse_label(const std::string& page) {
  Parsed parsed;
  parsed.found = parse_label_page(page, parsed.links, parsed.entries);
  return parsed;
}

std::vector<std::string> titles(const Parsed& parsed) {
  std::vector<std::string> out;
  for (const ReleaseEntry& entry : parsed.entries) out.push_back(entry.title);
  return out;
}

// One release row as the label page lays it out.
std::string label_row(const std::string& artist, const std::string& link, const std::string& title,
                      const std::string& format) {
  return "<tr><td class=\"artist\"><a href=\"/artist/x\">" + artist +
         "</a></td><td class=\"title\"><a href=\"" + link + "\">" + title + "</a> (" + format +
         ")</td><td>1999</td></tr>\n";
}

std::string label_page(const std::string& rows, const std::string& rest = "") {
  return "<html><head><title>Quiet Harbour</title></head><body><h1>Quiet Harbour</h1>\n"
         "<p>Contact: (none)</p><h2>Discography:</h2><table>\n" +
         rows + "</table>\n" + rest + "</body></html>\n";
}

}  // namespace

TEST(ArtistPage, ReadsLinkTitleFormatAndLabelOfEachRow) {
  const Parsed parsed = parse_artist(
      artist_page(artist_row({"/release/101", "First Light", "CD, Album", "Quiet Harbour"}) +
                  artist_row({"/release/7", "Salt &amp; Pepper", "12\", Single", "Tin Roof"})));
  EXPECT_TRUE(parsed.found);
  EXPECT_EQ(parsed.links, (std::vector<std::string>{"/release/101", "/release/7"}));
  ASSERT_EQ(parsed.entries.size(), 2u);
  EXPECT_EQ(parsed.entries[0].artist, "");
  EXPECT_EQ(parsed.entries[0].title, "First Light");
  EXPECT_EQ(parsed.entries[0].format, "CD, Album");
  EXPECT_EQ(parsed.entries[0].label, "Quiet Harbour");
  EXPECT_EQ(parsed.entries[1].title, "Salt &amp; Pepper");  // not decoded
  EXPECT_EQ(parsed.entries[1].format, "12\", Single");
}

TEST(ArtistPage, SectionEndsAtTheFirstLaterHeadingFound) {
  const std::string own = artist_row({"/release/1", "Own", "LP", "L"});
  const std::string guest = artist_row({"/release/2", "Guest", "LP", "L"});
  const std::string remix = artist_row({"/release/3", "Remix", "LP", "L"});
  EXPECT_EQ(titles(parse_artist(artist_page(own, "<h2>Appears On:</h2>" + guest))),
            std::vector<std::string>{"Own"});
  EXPECT_EQ(titles(parse_artist(artist_page(own, "<h2>Tracks Appear On:</h2>" + guest))),
            std::vector<std::string>{"Own"});
  // "Remixes:" is looked for first, wherever "Appears On:" stands.
  EXPECT_EQ(titles(parse_artist(
                artist_page(own, "<h2>Appears On:</h2>" + guest + "<h2>Remixes:</h2>" + remix))),
            (std::vector<std::string>{"Own", "Guest"}));
}

TEST(ArtistPage, RowsOnlyUnderRemixesGiveNothing) {
  const Parsed parsed = parse_artist(
      artist_page("", "<h2>Remixes:</h2>" + artist_row({"/release/3", "Remix", "LP", "L"})));
  EXPECT_TRUE(parsed.found);
  EXPECT_TRUE(parsed.links.empty());
  EXPECT_TRUE(parsed.entries.empty());
}

TEST(ArtistPage, WithoutReleasesHeadingNothingIsRead) {
  std::vector<std::string> links{"/artist/kept"};
  std::vector<ReleaseEntry> entries;
  EXPECT_FALSE(parse_artist_page("<a href=\"/release/1\">x</a>", links, entries));
  EXPECT_EQ(links, std::vector<std::string>{"/artist/kept"});
  EXPECT_TRUE(entries.empty());
}

TEST(ArtistPage, ReleaseListedTwiceGivesTwoRows) {
  const std::string row = artist_row({"/release/1", "Twice", "LP", "L"});
  const Parsed parsed = parse_artist(artist_page(row + row));
  EXPECT_EQ(parsed.links, (std::vector<std::string>{"/release/1", "/release/1"}));
  EXPECT_EQ(parsed.entries.size(), 2u);
}

TEST(ArtistPage, FormatIsTheLastBracketBeforeTheLabel) {
  const Parsed parsed =
      parse_artist(artist_page("<tr><td><a href=\"/release/1\">Song (Live)</a> (CD) (Promo)</td>"
                               "<td><a href=\"/label/L\">L</a> (not this)</td></tr>"));
  ASSERT_EQ(parsed.entries.size(), 1u);
  EXPECT_EQ(parsed.entries[0].title, "Song (Live)");
  EXPECT_EQ(parsed.entries[0].format, "Promo");
  EXPECT_EQ(parsed.entries[0].label, "L");
}

TEST(ArtistPage, CutRowsKeepTheListsParallel) {
  // The page ends inside a link, or before the label of the last row.
  const Parsed cut_link = parse_artist("Releases:" + artist_row({"/release/1", "A", "LP", "L"}) +
                                       "<a href=\"/release/99");
  EXPECT_EQ(cut_link.links, std::vector<std::string>{"/release/1"});
  EXPECT_EQ(cut_link.entries.size(), 1u);

  const Parsed no_label = parse_artist("Releases:<a href=\"/release/5\">Five</a> (LP)");
  EXPECT_EQ(no_label.links, std::vector<std::string>{"/release/5"});
  ASSERT_EQ(no_label.entries.size(), 1u);
  EXPECT_EQ(no_label.entries[0].title, "Five");
  EXPECT_EQ(no_label.entries[0].format, "");
  EXPECT_EQ(no_label.entries[0].label, "");

  const Parsed no_tag_end = parse_artist("Releases:<a href=\"/release/5\" x");
  EXPECT_EQ(no_tag_end.links.size(), no_tag_end.entries.size());
  EXPECT_EQ(no_tag_end.entries.at(0).title, "");
}

TEST(LabelPage, ReadsArtistLinkTitleAndFormatOfEachRow) {
  const Parsed parsed =
      parse_label(label_page(label_row("Mira Vell", "/release/201", "Lanterns", "12\"") +
                             label_row("Oskar Dunn", "/release/202", "Rope &amp; Sail", "CD") +
                             label_row("C\xC3\xA9leste V\xC3\xA5rdahl", "/release/203",
                                       "Sm\xC3\xA5 Ljus", "LP") +
                             label_row("Old Page", "/release/204", "Sm\xE5", "LP")));
  EXPECT_TRUE(parsed.found);
  ASSERT_EQ(parsed.links.size(), 4u);
  EXPECT_EQ(parsed.links[1], "/release/202");
  ASSERT_EQ(parsed.entries.size(), 4u);
  EXPECT_EQ(parsed.entries[0].artist, "Mira Vell");
  EXPECT_EQ(parsed.entries[0].title, "Lanterns");
  EXPECT_EQ(parsed.entries[0].format, "12\"");
  EXPECT_EQ(parsed.entries[0].label, "");
  EXPECT_EQ(parsed.entries[1].artist, "Oskar Dunn");
  EXPECT_EQ(parsed.entries[1].title, "Rope &amp; Sail");
  // The page's UTF-8 in the code page; text that is not UTF-8 as it stands.
  EXPECT_EQ(parsed.entries[2].artist, "C\xE9leste V\xE5rdahl");
  EXPECT_EQ(parsed.entries[2].title, "Sm\xE5 Ljus");
  EXPECT_EQ(parsed.entries[3].title, "Sm\xE5");
}

TEST(LabelPage, ArtistIsTheLastLinkBeforeTheRelease) {
  const Parsed parsed = parse_label(label_page(
      "<tr><td><a href=\"/artist/a\">First</a> &amp; <a href=\"/label/l\">Other Thing</a></td>"
      "<td><a href=\"/release/1\">T</a> (LP) (Ltd)</td></tr>"));
  ASSERT_EQ(parsed.entries.size(), 1u);
  EXPECT_EQ(parsed.entries[0].artist, "Other Thing");
  EXPECT_EQ(parsed.entries[0].format, "Ltd");
}

TEST(LabelPage, SectionEndsAtTheComments) {
  const Parsed parsed = parse_label(label_page(
      label_row("A", "/release/1", "One", "LP"),
      "<h2>User Comments &amp; Reviews:</h2>" + label_row("B", "/release/2", "Two", "LP")));
  EXPECT_EQ(parsed.links, std::vector<std::string>{"/release/1"});
}

TEST(LabelPage, WithoutDiscographyHeadingNothingIsRead) {
  const Parsed parsed = parse_label(label_row("A", "/release/1", "One", "LP"));
  EXPECT_FALSE(parsed.found);
  EXPECT_TRUE(parsed.links.empty());
}

TEST(LabelPage, RowWithoutItsEndKeepsAnEmptyFormat) {
  const Parsed parsed =
      parse_label("Discography:<a href=\"/artist/a\">A</a><a href=\"/release/3\">Three</a> (CD)");
  ASSERT_EQ(parsed.entries.size(), 1u);
  EXPECT_EQ(parsed.entries[0].artist, "A");
  EXPECT_EQ(parsed.entries[0].title, "Three");
  EXPECT_EQ(parsed.entries[0].format, "");
}

