#include <gtest/gtest.h>

#include "app/pages.h"
#include "model/run_state.h"

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

