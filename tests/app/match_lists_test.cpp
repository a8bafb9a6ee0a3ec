#include <gtest/gtest.h>

#include "app/pages.h"
#include "model/run_state.h"

namespace {

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

// Two-digit releases get leading zeros; short or sided ones stay as they
// are; on two discs the zeros stop at the fifteenth track or at the end.
TEST(PadTrackNumbers, TwoDigitReleasesGetLeadingZeros) {
  const struct {
    std::vector<std::string> numbers;
    const char* padded;
  } cases[] = {
      {count_up(1, 12), "01 02 03 04 05 06 07 08 09 10 11 12"},
      {count_up(1, 9), "1 2 3 4 5 6 7 8 9"},
      {{"A1", "A2", "A3", "A4", "A5", "A6", "B1", "B2", "B3", "B4", "B5"},
       "A1 A2 A3 A4 A5 A6 B1 B2 B3 B4 B5"},
      {{"", "2", "3", "4", "5", "6", "7", "8", "9", "10"}, " 2 3 4 5 6 7 8 9 10"},
      {twice(count_up(1, 8)), "01 02 03 04 05 06 07 08 01 02 03 04 05 06 07 8"},
      {twice(count_up(1, 6)), "01 02 03 04 05 06 01 02 03 04 05 06"},
  };
  for (const auto& c : cases) {
    Release release;
    for (size_t k = 0; k < c.numbers.size(); ++k) {
      release.track_numbers.push_back(c.numbers[k]);
      release.track_names.push_back("Track " + std::to_string(k + 1));
      release.track_artists.push_back("");
    }
    pad_track_numbers(release);
    std::string padded;
    for (size_t k = 0; k < release.track_numbers.size(); ++k)
      padded += (k == 0 ? "" : " ") + release.track_numbers[k];
    EXPECT_EQ(padded, c.padded);
  }
}

}  // namespace
