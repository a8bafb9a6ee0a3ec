#include "common/release_ranking.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/run_state.h"
#include "tests/support/run_state_reset.h"

namespace {

void set_discography(const std::vector<std::string>& titles) {
  g_collection.clear();
  for (const std::string& title : titles) g_collection.push_back({"", title, "Label", "LP"});
}

LocalTrack tags(const std::string& artist, const std::string& title, const std::string& album) {
  LocalTrack track;
  track.artist = artist;
  track.title = title;
  track.album = album;
  return track;
}

}  // namespace

TEST(ReleaseKeywords, FolderNameThenEveryTagOfEveryFile) {
  test_support::reset_run_state();
  g_run.folder_name = "Blue River (1969)";
  LocalTrack full;
  full.artist = "A";
  full.title = "B";
  full.album = "C";
  full.label = "D";
  full.catalog_number = "E";
  full.track_number = "F";
  full.release_date = "G";
  full.genre = "H";
  full.style = "I";
  full.comment = "J";
  g_run.local_tracks = {full, LocalTrack()};
  EXPECT_EQ(build_release_keywords(),
            "Blue River (1969) A B C D E F G H I J" + std::string(10, ' '));
}

TEST(ReleaseKeywords, NoFilesLeavesTheFolderName) {
  test_support::reset_run_state();
  g_run.folder_name = "Some Folder";
  EXPECT_EQ(build_release_keywords(), "Some Folder");
}

TEST(ReleaseRanking, WordsCountWhateverTheirLetterCase) {
  test_support::reset_run_state();
  set_discography({"Green Fields", "Blue River"});
  g_run.folder_name = "blue river 1969";
  EXPECT_EQ(rank_releases(build_release_keywords()), 1);

  // Capitalised folder name and tags: the title's words still count, and
  // more than the digits of another title.
  set_discography({"Live 2005", "Night Ferry"});
  g_run.folder_name = "Harbour Lights - Night Ferry (2005)";
  g_run.local_tracks = {tags("HARBOUR LIGHTS", "Salt Road", "NIGHT FERRY")};
  EXPECT_EQ(rank_releases(build_release_keywords()), 1);
}

TEST(ReleaseRanking, BestTitleWinsAndTiesGoToTheEarlierEntry) {
  test_support::reset_run_state();
  set_discography({"Cold Water", "Harbour Lights", "Last Train", "Harbour Lights (Remastered)",
                   "Lights Harbour"});
  g_run.folder_name = "harbour lights";
  g_run.local_tracks = {tags("the band", "harbour lights", "harbour lights")};
  EXPECT_EQ(rank_releases(build_release_keywords()), 1);
  EXPECT_EQ(rank_releases("last train"), 2);
}

TEST(ReleaseRanking, RepeatedWordsCountPerCopyAndOccurrence) {
  test_support::reset_run_state();
  // "La La La" against "la la": 3 copies x 2 occurrences x 2 letters = 12;
  // neither "lala" nor "land" occurs.
  set_discography({"Lala Land", "La La La"});
  EXPECT_EQ(rank_releases("la la"), 1);
}

TEST(ReleaseRanking, EmptyOrUnmatchedDiscography) {
  test_support::reset_run_state();
  EXPECT_EQ(rank_releases("anything"), -1);
  set_discography({"One", "Two", "Three"});
  EXPECT_EQ(rank_releases("nothing alike"), 0);
  g_run.folder_name = "folder";
  g_run.local_tracks = {LocalTrack(), LocalTrack()};
  EXPECT_EQ(build_release_keywords(), "folder" + std::string(20, ' '));
}
