#include "common/similarity.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <vector>

#include "common/text.h"

namespace {

// The splitter works on a zero-terminated copy in a buffer of this size, so
// at most kSplitBufferSize - 1 bytes of a text are ever cut into words.
constexpr size_t kSplitBufferSize = 16384;

bool is_word_delimiter(char c) { return c == ' ' || c == '\t' || c == '\n'; }

std::vector<std::string> split_words(const std::string& text) {
  std::array<char, kSplitBufferSize> buffer{};
  const size_t length = std::min(text.size(), kSplitBufferSize - 1);
  std::memcpy(buffer.data(), text.data(), length);

  std::vector<std::string> words;
  std::string word;
  for (const char* p = buffer.data(); *p != '\0'; ++p) {
    if (is_word_delimiter(*p)) {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += *p;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

bool is_ascii_letter_or_digit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Deletes the blank in front of every free-standing one-letter word; each
// deletion can expose another occurrence one position earlier, never before.
void join_single_letter_word(std::string& text, const std::string& pattern) {
  int p = find_text(text, pattern, 0);
  while (p >= 0) {
    text.erase(static_cast<size_t>(p), 1);
    p = find_text(text, pattern, p > 0 ? p - 1 : 0);
  }
}

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

int32_t word_overlap_score(const std::string& haystack, const std::string& text) {
  // Accumulated wide and capped: a huge tag must not overflow the score.
  int64_t score = 0;
  for (std::string word : split_words(text)) {
    to_lower(word);
    for (int p = find_text(haystack, word, 0); p >= 0; p = find_text(haystack, word, p + 1)) {
      score += static_cast<int64_t>(word.size());
    }
  }
  return static_cast<int32_t>(std::min<int64_t>(score, std::numeric_limits<int32_t>::max()));
}

void clean_match_text(std::string& text) {
  // Bytes above 0x7F count as non-letters, as they do in track titles, so an
  // accented letter is a blank on both sides of a comparison.
  for (char& c : text) {
    if (!is_ascii_letter_or_digit(c)) c = ' ';
  }
  to_lower(text);
  join_single_letter_word(text, " a ");
  join_single_letter_word(text, " i ");
  if (text.size() >= 2 && text[1] == ' ' && (text[0] == 'a' || text[0] == 'i')) text[0] = ' ';
}

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
