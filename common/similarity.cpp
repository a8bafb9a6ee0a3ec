#include "common/similarity.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "common/text.h"

namespace {

// The words are cut from a zero-terminated copy of the text in a buffer of
// this size, so at most kSplitBufferSize - 1 bytes of a text are split, and
// a zero byte ends the text. Both limits are applied to the text in place:
// zero-filling 16 KiB for each of the thousands of short titles an album
// scores would cost more than the scoring itself.
constexpr size_t kSplitBufferSize = 16384;

size_t split_length(const std::string& text) {
  const size_t limit = std::min(text.size(), kSplitBufferSize - 1);
  const auto end = text.begin() + static_cast<std::ptrdiff_t>(limit);
  return static_cast<size_t>(std::find(text.begin(), end, '\0') - text.begin());
}

bool is_word_delimiter(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Calls visit with each word of the text, in order, lower-cased.
template <typename Visit>
void for_each_word(const std::string& text, Visit visit) {
  const size_t length = split_length(text);
  std::string word;
  size_t i = 0;
  while (i < length) {
    while (i < length && is_word_delimiter(text[i])) ++i;
    const size_t begin = i;
    while (i < length && !is_word_delimiter(text[i])) ++i;
    if (i > begin) {
      word.assign(text, begin, i - begin);
      to_lower(word);
      visit(word);
    }
  }
}

bool is_ascii_letter_or_digit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Deletes the blank in front of every free-standing one-letter word; each
// deletion can expose another occurrence one position earlier, never before.
void join_single_letter_word(std::string& text, const std::string& pattern) {
  int p = find_text(text, pattern, 0);
  while (p >= 0) {
    text.erase(static_cast<size_t>(p), 1);
    p = find_text(text, pattern, p > 0 ? p - 1 : 0);
  }
}

}  // namespace

int32_t word_overlap_score(const std::string& haystack, const std::string& text) {
  // Accumulated wide and capped: a huge tag must not overflow the score.
  int64_t score = 0;
  for_each_word(text, [&](const std::string& word) {
    for (int p = find_text(haystack, word, 0); p >= 0; p = find_text(haystack, word, p + 1)) {
      score += static_cast<int64_t>(word.size());
    }
  });
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
