#include "common/release_ranking.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The keywords: the folder name, then every tag of every file.
TEST(ReleaseRanking, KeywordsFromTheFolderAndEveryTag) {
  EXPECT_EQ(build_release_keywords("Blue River (1969)", {}), "Blue River (1969)");
  const LocalTrack full{"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"};
  EXPECT_EQ(build_release_keywords("Blue River (1969)", {full, LocalTrack()}),
            "Blue River (1969) A B C D E F G H I J" + std::string(10, ' '));
}

// The best title wins, whatever the letter case of the folder and tags; a
// tie goes to the earlier entry; a word counts per copy and occurrence.
TEST(ReleaseRanking, TheBestFittingTitle) {
  const struct {
    std::vector<std::string> titles;
    std::string folder, tag_artist, tag_album, keywords;
    int chosen;
  } rows[] = {
      {{"Green Fields", "Blue River"}, "blue river 1969", "", "", "", 1},
      // Capitals still count, and more than the digits of another title.
      {{"Live 2005", "Night Ferry"},
       "Harbour Lights - Night Ferry (2005)",
       "HARBOUR LIGHTS",
       "NIGHT FERRY",
       "",
       1},
      {{"Cold Water", "Harbour Lights", "Last Train", "Harbour Lights (Remastered)",
        "Lights Harbour"},
       "harbour lights",
       "the band",
       "harbour lights",
       "",
       1},
      {{"Cold Water", "Harbour Lights", "Last Train"}, "", "", "", "last train", 2},
      // "La La La" against "la la": 3 copies x 2 occurrences x 2 letters.
      {{"Lala Land", "La La La"}, "", "", "", "la la", 1},
      // The code page's capitals, A grave (\xC0) to thorn (\xDE), S caron to Y diaeresis.
      {{"Other", "\xE0\xE9\xFE\x9A\x9C\x9E\xFF"}, "", "", "", "\xC0\xC9\xDE\x8A\x8C\x8E\x9F", 1},
      {{"One", "Two", "Three"}, "", "", "", "nothing alike", 0},
      {{}, "", "", "", "anything", -1},
  };
  for (const auto& row : rows) {
    std::vector<ReleaseEntry> entries;
    for (const std::string& title : row.titles) entries.push_back({"", title, "Label", "LP", ""});
    std::vector<LocalTrack> tags;
    if (!row.tag_artist.empty()) {
      tags = {LocalTrack()};
      tags[0].artist = row.tag_artist;
      tags[0].album = row.tag_album;
    }
    const std::string keywords =
        row.keywords.empty() ? build_release_keywords(row.folder, tags) : row.keywords;
    EXPECT_EQ(rank_releases(keywords, entries), row.chosen) << keywords;
  }
}

// Among equal best scores: a year the keywords name, then the fewest title
// words they lack, then the first. Only the best scores take part.
TEST(ReleaseRanking, TiesGoToTheYearThenTheFewestUnknownWordsThenTheFirst) {
  const struct {
    const char* name;
    std::vector<std::string> titles, years;
    std::vector<int32_t> scores;
    std::string keywords;
    int32_t chosen;
  } rows[] = {
      {"a named year first", {"Oslo", "Oslo By Night"}, {"1999", "2001"}, {4, 4}, "oslo 2001", 1},
      {"not inside a number", {"A", "A"}, {"1999", "2001"}, {1, 1}, "SK2001 20011", 0},
      {"a date's year", {"A", "A"}, {"", "1999"}, {1, 1}, "1999-05-01", 1},
      {"fewest unknown words", {"Oslo By Night", "Oslo"}, {"", ""}, {4, 4}, "oslo", 1},
      {"punctuation splits", {"Oslo Live", "Oslo"}, {"", ""}, {4, 4}, "Oslo-Live", 0},
      {"code page capitals", {"Tr\xE4sk", "\xC5NGBY LIVE"}, {"", ""}, {5, 5}, "\xE5ngby live", 1},
      {"best scores only",
       {"Oslo", "Oslo Nights", "Bus"},
       {"1999", "", ""},
       {3, 9, 9},
       "oslo 1999",
       1},
  };
  for (const auto& row : rows) {
    std::vector<ReleaseEntry> entries;
    for (size_t i = 0; i < row.titles.size(); ++i) {
      ReleaseEntry entry;
      entry.title = row.titles[i];
      entry.year = row.years[i];
      entries.push_back(entry);
    }
    EXPECT_EQ(preferred_release(row.scores, entries, row.keywords), row.chosen) << row.name;
  }
}
