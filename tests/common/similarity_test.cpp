#include "common/similarity.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

TEST(WordOverlap, EachWordAddsItsLengthPerOccurrence) {
  EXPECT_EQ(word_overlap_score("01 my song live", "1 My Song"), 7);
  EXPECT_EQ(word_overlap_score("la", "la la"), 4);
  EXPECT_EQ(word_overlap_score("aaaa", "aa"), 6);
  EXPECT_EQ(word_overlap_score("la la", "La La La"), 12);
}

TEST(WordOverlap, NothingToCompareScoresZero) {
  EXPECT_EQ(word_overlap_score("some haystack", ""), 0);
  EXPECT_EQ(word_overlap_score("some haystack", " \t\n  \t"), 0);
  EXPECT_EQ(word_overlap_score("", "some words"), 0);
  EXPECT_EQ(word_overlap_score("abc", "xyz"), 0);
}

TEST(WordOverlap, HaystackCaseIsKept) {
  EXPECT_EQ(word_overlap_score("BLUE RIVER", "blue"), 0);
  EXPECT_EQ(word_overlap_score("blue river", "blue"), 4);
  EXPECT_EQ(word_overlap_score("blue river", "BLUE"), 4);
}

TEST(WordOverlap, OnlyBlankTabAndLineFeedSplit) {
  EXPECT_EQ(word_overlap_score("don t", "Don't"), 0);
  EXPECT_EQ(word_overlap_score("a\rb", "x\ta\rb\ny"), 3);
  EXPECT_EQ(word_overlap_score("ab", "a\rb"), 0);
  EXPECT_EQ(word_overlap_score("a-1", "A-1"), 3);
}

TEST(WordOverlap, SplitsOnlyTheFirst16383BytesUpToAZero) {
  const std::string fits = std::string(16381, ' ') + "xy";
  EXPECT_EQ(word_overlap_score("xy", fits), 2);
  const std::string cut = std::string(16382, ' ') + "xy";
  EXPECT_EQ(word_overlap_score("xy", cut), 1);
  EXPECT_EQ(word_overlap_score("xy", std::string(20000, ' ') + "xy"), 0);
  // The copy is zero-terminated: a zero byte ends the text.
  EXPECT_EQ(word_overlap_score("xy", std::string("x\0y", 3)), 1);
}

TEST(WordOverlap, HugeScoresStopAtTheLargestInteger) {
  // Four words of 4000 letters, each found about 146000 times.
  std::string text;
  for (int i = 0; i < 4; ++i) text += std::string(4000, 'a') + " ";
  const std::string haystack(150000, 'a');
  EXPECT_EQ(word_overlap_score(haystack, text), std::numeric_limits<int32_t>::max());
}

namespace {

std::string cleaned(std::string text) {
  clean_match_text(text);
  return text;
}

}  // namespace

TEST(CleanMatchText, WorkedSentence) { EXPECT_EQ(cleaned("I Saw A Boat!"), "  sawa boat "); }

TEST(CleanMatchText, ShortTextsAndLeadingArticles) {
  EXPECT_EQ(cleaned("a"), "a");
  EXPECT_EQ(cleaned("i x"), "  x");
  EXPECT_EQ(cleaned("A day"), "  day");
  EXPECT_EQ(cleaned("ab c"), "ab c");
  EXPECT_EQ(cleaned(""), "");
}

TEST(CleanMatchText, ArticlesJoinTheWordBefore) {
  EXPECT_EQ(cleaned("x a y"), "xa y");
  EXPECT_EQ(cleaned("x a a y"), "xaa y");
  EXPECT_EQ(cleaned("x  a y"), "xa y");  // every blank before the article goes
  EXPECT_EQ(cleaned("then I said"), "theni said");
  EXPECT_EQ(cleaned("a a a"), "aa a");
}

TEST(CleanMatchText, EveryNonAlphanumericByteIsABlank) {
  EXPECT_EQ(cleaned("Rock'n'Roll (Live)"), "rock n roll  live ");
  // Accented letters count as non-letters; the length stays.
  EXPECT_EQ(cleaned("Caf\xE9 \xC9t\xE9"), "caf   t ");
  EXPECT_EQ(cleaned(std::string("x\0y", 3)), "x y");
}

TEST(YearFromDate, FourAndTwoDigitRuns) {
  const struct {
    const char* date;
    int32_t year;
  } cases[] = {
      {"12 Mar 1999", 1999}, {"1999-2000", 1999}, {"0815", 815}, {"99", 1999},
      {"07", 2007},          {"08", 1908},        {"00", 2000},  {"03/12/99", 2003},
      {"Jan 5, 2001", 2001}, {"5 06", 2006},      {"5", -1},     {"199", -1},
      {"12345", -1},         {"1999 12345", -1},  {"", -1},      {"no date", -1},
      {"2005-03-14", 2005},  {"2005-03", 2005},
  };
  for (const auto& c : cases) EXPECT_EQ(year_from_date(c.date), c.year) << "'" << c.date << "'";
}
