#include "common/release_year.h"

#include <algorithm>

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest run of consecutive digits.
size_t longest_digit_run(const std::string& text) {
  size_t longest = 0;
  size_t run = 0;
  for (char c : text) {
    run = is_digit(c) ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return longest;
}

// The value of the first `width` consecutive digits in the text.
int32_t first_digits_value(const std::string& text, size_t width) {
  size_t run = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    run = is_digit(text[i]) ? run + 1 : 0;
    if (run == width) {
      int32_t value = 0;
      for (size_t k = i + 1 - width; k <= i; ++k) value = value * 10 + (text[k] - '0');
      return value;
    }
  }
  return -1;
}

}  // namespace

int32_t year_from_date(const std::string& date) {
  switch (longest_digit_run(date)) {
    case 4:
      return first_digits_value(date, 4);
    case 2: {
      const int32_t v = first_digits_value(date, 2);
      return v < 8 ? 2000 + v : 1900 + v;
    }
    default:
      return -1;
  }
}
