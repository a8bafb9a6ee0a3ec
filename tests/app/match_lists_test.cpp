#include <gtest/gtest.h>

#include "app/pages.h"
#include "model/run_state.h"
#include "platform/dialog.h"
#include "resources/templates.h"
#include "tests/support/recording_front_end.h"
#include "tests/support/run_state_reset.h"

namespace {

Release numbered(std::vector<std::string> numbers) {
  Release release;
  for (size_t k = 0; k < numbers.size(); ++k) {
    release.track_numbers.push_back(numbers[k]);
    release.track_names.push_back("Track " + std::to_string(k + 1));
    release.track_artists.push_back("");
  }
  return release;
}

std::vector<std::string> count_up(int from, int to) {
  std::vector<std::string> out;
  for (int n = from; n <= to; ++n) out.push_back(std::to_string(n));
  return out;
}

std::vector<std::string> twice(std::vector<std::string> numbers) {
  std::vector<std::string> out = numbers;
  out.insert(out.end(), numbers.begin(), numbers.end());
  return out;
}

bool ignore_all(platform::Window&, unsigned, uintptr_t, intptr_t) { return false; }

// A match page that nothing drives: only its controls are used.
class MatchPageModel : public ::testing::Test {
 protected:
  MatchPageModel()
      : page(*resources::find_dialog(kDialogMatchConfirmation), nullptr, nullptr, ignore_all,
             platform::BaseUnits()) {
    test_support::reset_run_state();
  }
  const platform::Control& list(int id) { return *page.control(id); }
  platform::Window page;
};

}  // namespace

TEST(PadTrackNumbers, TwoDigitReleasesGetLeadingZeros) {
  Release twelve = numbered(count_up(1, 12));
  pad_track_numbers(twelve);
  EXPECT_EQ(twelve.track_numbers, (std::vector<std::string>{"01", "02", "03", "04", "05", "06",
                                                            "07", "08", "09", "10", "11", "12"}));
}

TEST(PadTrackNumbers, ShortOrSidedReleasesStayAsTheyAre) {
  Release nine = numbered(count_up(1, 9));
  pad_track_numbers(nine);
  EXPECT_EQ(nine.track_numbers, count_up(1, 9));
  Release sides = numbered({"A1", "A2", "A3", "A4", "A5", "A6", "B1", "B2", "B3", "B4", "B5"});
  const std::vector<std::string> before = sides.track_numbers;
  pad_track_numbers(sides);
  EXPECT_EQ(sides.track_numbers, before);
  Release empty_first = numbered({"", "2", "3", "4", "5", "6", "7", "8", "9", "10"});
  pad_track_numbers(empty_first);
  EXPECT_EQ(empty_first.track_numbers[1], "2");
}

TEST(PadTrackNumbers, TwoDiscsStopAtFifteenOrAtTheEnd) {
  Release sixteen = numbered(twice(count_up(1, 8)));
  pad_track_numbers(sixteen);
  for (int k = 0; k < 15; ++k) EXPECT_EQ(sixteen.track_numbers[k][0], '0') << k;
  EXPECT_EQ(sixteen.track_numbers[15], "8");

  Release twelve = numbered(twice(count_up(1, 6)));
  pad_track_numbers(twelve);
  EXPECT_EQ(twelve.track_numbers, twice({"01", "02", "03", "04", "05", "06"}));
}

TEST_F(MatchPageModel, LayoutAtTheMinimumGivesThreeEqualColumns) {
  layout_match_dialog(page, 400, 200);
  const platform::Rect release = list(kIdReleaseList).rect;
  const platform::Rect original = list(kIdOriginalList).rect;
  const platform::Rect matches = list(kIdMatchesList).rect;
  EXPECT_EQ(release.width, 113);
  EXPECT_EQ(original.width, 113);
  EXPECT_EQ(matches.width, 113);
  EXPECT_EQ(release.left, 5);
  EXPECT_EQ(original.left, 133);
  EXPECT_EQ(matches.left, 266);
  EXPECT_LE(release.left + release.width, original.left);
  EXPECT_LE(original.left + original.width, matches.left);
  EXPECT_EQ(release.top, 65);
  EXPECT_EQ(release.height, 125);
  EXPECT_EQ(list(kIdNext).rect.left, 266);
  EXPECT_EQ(list(kIdMatchesLabel).rect.top, 35);
}

TEST_F(MatchPageModel, LayoutNeverGivesNegativeSizes) {
  layout_match_dialog(page, 30, 40);
  EXPECT_EQ(list(kIdReleaseList).rect.width, 0);
  EXPECT_EQ(list(kIdReleaseList).rect.height, 0);
}

TEST_F(MatchPageModel, ListsShowTracksFilesAndTheirMatches) {
  g_releases.push_back(numbered({"1", "2", "3"}));
  g_releases[0].track_names = {"Intro", "Harbour Lights", "Outro"};
  g_run.release_index = 0;
  g_run.files = {"a.mp3", "b longer name.mp3"};
  g_run.assignment.track_of_file = {2, 0};
  fill_match_lists(page);
  EXPECT_EQ(list(kIdReleaseList).lines,
            (std::vector<std::string>{"1 Intro", "2 Harbour Lights", "3 Outro"}));
  EXPECT_EQ(list(kIdOriginalList).lines, g_run.files);
  EXPECT_EQ(list(kIdMatchesList).lines, (std::vector<std::string>{"3 Outro", "1 Intro"}));
  EXPECT_EQ(list(kIdOriginalList).horizontal_extent, 17 * 5 + 10);
  EXPECT_EQ(list(kIdReleaseList).horizontal_extent, 16 * 5 + 10);
  EXPECT_EQ(list(kIdMatchesList).horizontal_extent, 16 * 5 + 10);
}

TEST_F(MatchPageModel, FilesWithoutATrackKeepTheirRow) {
  g_releases.push_back(numbered({"1", "2"}));
  g_run.release_index = 0;
  g_run.files = {"a.mp3", "b.mp3", "c.mp3"};
  g_run.assignment.track_of_file = {-1, 1};
  fill_match_lists(page);
  EXPECT_EQ(list(kIdMatchesList).lines, (std::vector<std::string>{"", "2 Track 2", ""}));
}

TEST_F(MatchPageModel, ReleaseWithoutTracksFillsOnlyTheFiles) {
  g_releases.push_back(Release());
  g_run.release_index = 0;
  g_run.files = {"a.mp3"};
  g_run.assignment.track_of_file = {-1};
  fill_match_lists(page);
  EXPECT_EQ(list(kIdOriginalList).lines.size(), 1u);
  EXPECT_TRUE(list(kIdMatchesList).lines.empty());
  EXPECT_TRUE(list(kIdReleaseList).lines.empty());
  EXPECT_EQ(list(kIdReleaseList).horizontal_extent, 0);
}
