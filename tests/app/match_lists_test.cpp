#include <gtest/gtest.h>

#include <sstream>

#include "app/pages/pages.h"
#include "model/run_state.h"

namespace {

// Two-digit releases get leading zeros; short or sided ones stay as they
// are; on two discs the zeros stop at the fifteenth track or at the end.
TEST(PadTrackNumbers, TwoDigitReleasesGetLeadingZeros) {
  const std::pair<const char*, const char*> cases[] = {
      // numbers, padded
      {"1,2,3,4,5,6,7,8,9,10,11,12", "01,02,03,04,05,06,07,08,09,10,11,12"},
      {"1,2,3,4,5,6,7,8,9", "1,2,3,4,5,6,7,8,9"},
      {"A1,A2,A3,A4,A5,A6,B1,B2,B3,B4,B5", "A1,A2,A3,A4,A5,A6,B1,B2,B3,B4,B5"},
      {",2,3,4,5,6,7,8,9,10", ",2,3,4,5,6,7,8,9,10"},
      {"1,2,3,4,5,6,7,8,1,2,3,4,5,6,7,8", "01,02,03,04,05,06,07,08,01,02,03,04,05,06,07,8"},
      {"1,2,3,4,5,6,1,2,3,4,5,6", "01,02,03,04,05,06,01,02,03,04,05,06"}};
  for (const auto& [numbers, padded] : cases) {
    Release release;
    std::istringstream in(numbers);
    for (std::string number; std::getline(in, number, ',');) {
      release.track_numbers.push_back(number);
    }
    pad_track_numbers(release);
    std::string joined;
    for (const std::string& number : release.track_numbers) joined += "," + number;
    EXPECT_EQ(joined.substr(1), padded);
  }
}

// No release is at an index outside the list, as -1 for none chosen.
TEST(ReleaseAt, AnIndexOutsideTheReleasesIsNone) {
  g_releases.assign(2, Release());
  EXPECT_EQ(release_at(-1), nullptr);
  EXPECT_EQ(release_at(1), &g_releases[1]);
  EXPECT_EQ(release_at(2), nullptr);
  g_releases.clear();
}

}  // namespace
