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
      {{"One", "Two", "Three"}, "", "", "", "nothing alike", 0},
      {{}, "", "", "", "anything", -1},
  };
  for (const auto& row : rows) {
    std::vector<ReleaseEntry> entries;
    for (const std::string& title : row.titles) entries.push_back({"", title, "Label", "LP"});
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
