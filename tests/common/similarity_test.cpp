#include "common/similarity.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

// Each word of the needle adds its length for each time the haystack holds
// it; only blanks, tabs and line feeds split, and the haystack's case counts.
TEST(Similarity, WordOverlapScores) {
  const struct {
    std::string haystack, needle;
    int32_t score;
  } rows[] = {
      {"01 my song live", "1 My Song", 7},
      {"la", "la la", 4},
      {"aaaa", "aa", 6},
      {"la la", "La La La", 12},
      {"some haystack", " \t\n  \t", 0},
      {"", "some words", 0},
      {"BLUE RIVER", "blue", 0},
      {"blue river", "BLUE", 4},
      {"don t", "Don't", 0},
      {"a\rb", "x\ta\rb\ny", 3},
      {"ab", "a\rb", 0},
      {"a-1", "A-1", 3},
      // Only the first 16383 bytes are split, up to a zero byte.
      {"xy", std::string(16381, ' ') + "xy", 2},
      {"xy", std::string(16382, ' ') + "xy", 1},
      {"xy", std::string("x\0y", 3), 1},
  };
  for (const auto& row : rows)
    EXPECT_EQ(word_overlap_score(row.haystack, row.needle), row.score) << row.needle;
  // Four words of 4000 letters, each found about 146000 times.
  std::string text;
  for (int i = 0; i < 4; ++i) text += std::string(4000, 'a') + " ";
  EXPECT_EQ(word_overlap_score(std::string(150000, 'a'), text),
            std::numeric_limits<int32_t>::max());
}

// Lower case, every other byte a blank, and a one-letter article joined to
// the word before it.
TEST(Similarity, CleanMatchText) {
  const std::pair<std::string, std::string> rows[] = {
      {"I Saw A Boat!", "  sawa boat "},
      {"a", "a"},
      {"i x", "  x"},
      {"A day", "  day"},
      {"ab c", "ab c"},
      {"x  a y", "xa y"},
      {"x a a y", "xaa y"},
      {"a a a", "aa a"},
      {"Rock'n'Roll (Live)", "rock n roll  live "},
      {"Caf\xE9 \xC9t\xE9", "caf   t "},
      {std::string("x\0y", 3), "x y"},
  };
  for (auto [text, cleaned] : rows) {
    clean_match_text(text);
    EXPECT_EQ(text, cleaned);
  }
}
