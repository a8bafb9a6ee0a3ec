// The question before the match: a "(2)" after the artist's name.
#include "app/match_release.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/run_state.h"
#include "tests/support/recording_front_end.h"
#include "tests/support/run_state_reset.h"

namespace {

Release make_release(const std::string& artist, const std::vector<std::string>& names) {
  Release release;
  release.artist = artist;
  release.title = "Some Album";
  release.track_names = names;
  release.track_numbers.assign(names.size(), "1");
  release.track_artists.assign(names.size(), artist);
  return release;
}

Release numbered_band() {
  Release release = make_release("Band (2)", {"One", "Two", "Three"});
  release.track_artists = {"Band (2)", "Guest (3)  ", "Trio (4) feat. X", "Other (live)"};
  return release;
}

}  // namespace

TEST(ArtistSuffix, QuestionAnsweredYesStripsEveryArtist) {
  test_support::reset_run_state();
  test_support::RecordingFrontEnd boxes;
  boxes.answers = {platform::kAnswerYes};
  Release release = numbered_band();
  match_release(release);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Remove brackets after artist name for Band (2)?");
  EXPECT_EQ(boxes.boxes[0].caption, "Rename artist?");
  EXPECT_EQ(boxes.boxes[0].style, platform::kBoxYesNo);
  EXPECT_FALSE(boxes.boxes[0].owned);
  ASSERT_EQ(g_releases.size(), 1u);
  EXPECT_EQ(g_releases[0].artist, "Band");
  EXPECT_EQ(g_releases[0].track_artists,
            (std::vector<std::string>{"Band", "Guest", "Trio  feat. X", "Other (live)"}));
  EXPECT_EQ(g_releases[0].title, "Some Album");
  EXPECT_EQ(release.artist, "Band");  // the caller's record changes too
}

TEST(ArtistSuffix, QuestionAnsweredNoChangesNothing) {
  test_support::reset_run_state();
  test_support::RecordingFrontEnd boxes;
  boxes.answers = {platform::kAnswerNo};
  Release release = numbered_band();
  match_release(release);
  EXPECT_EQ(boxes.boxes.size(), 1u);
  ASSERT_EQ(g_releases.size(), 1u);
  EXPECT_EQ(g_releases[0].artist, "Band (2)");
  EXPECT_EQ(g_releases[0].track_artists, numbered_band().track_artists);
}

TEST(ArtistSuffix, NoQuestionWithoutAOneDigitGroup) {
  for (const char* artist : {"Band (12)", "Band (live)", "Band"}) {
    test_support::reset_run_state();
    test_support::RecordingFrontEnd boxes;
    Release release = make_release(artist, {"One"});
    match_release(release);
    EXPECT_TRUE(boxes.boxes.empty()) << artist;
    EXPECT_EQ(g_releases[0].artist, artist);
  }
}
