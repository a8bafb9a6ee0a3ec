#include "common/text.h"

#include <gtest/gtest.h>

TEST(TextSearch, FindTextBounds) {
  EXPECT_EQ(find_text("xabc", "abc", 0), 1);
  EXPECT_EQ(find_text("xabc", "abc", 2), -1);
  EXPECT_EQ(find_text("xabc", "", 0), -1);
  EXPECT_EQ(find_text("xabc", "abc", 4), -1);
  EXPECT_EQ(find_text("xabc", "abc", 100), -1);
  EXPECT_EQ(find_text("xabc", "abcd", 0), -1);
  EXPECT_EQ(find_text("", "a", 0), -1);
}

TEST(TextSearch, RfindTextEndsAtOrBeforeStart) {
  EXPECT_EQ(rfind_text("xabcabc", "abc", 6), 4);
  EXPECT_EQ(rfind_text("xabcabc", "abc", 5), 1);
  EXPECT_EQ(rfind_text("xabcabc", "abc", 2), -1);
  EXPECT_EQ(rfind_text("xabcabc", "abc", 1000), 4);
  EXPECT_EQ(rfind_text("xabcabc", "", 6), -1);
  EXPECT_EQ(rfind_text("ab", "abc", 5), -1);
  EXPECT_EQ(rfind_text("abc", "abc", 2), 0);
  EXPECT_EQ(rfind_text("", "a", 0), -1);
}

TEST(TextTrim, StripsEveryOccurrenceAtTheEnds) {
  std::string only = "----";
  strip_leading(only, '-');
  EXPECT_EQ(only, "");
  only = "----";
  strip_trailing(only, '-');
  EXPECT_EQ(only, "");
  std::string mixed = "  a b  ";
  strip_leading(mixed, ' ');
  EXPECT_EQ(mixed, "a b  ");
  strip_trailing(mixed, ' ');
  EXPECT_EQ(mixed, "a b");
}

TEST(TextTrim, SqueezeTakesPairsLeftToRight) {
  const char* cases[][2] = {{"a  b", "a b"},      {"a   b", "a  b"}, {"a    b", "a  b"},
                            {"a     b", "a   b"}, {"  ", " "},       {"a ", "a "},
                            {"", ""}};
  for (auto& c : cases) {
    std::string text = c[0];
    squeeze_blanks(text);
    EXPECT_EQ(text, c[1]) << "from '" << c[0] << "'";
  }
}

TEST(TextCase, LowerLeavesHighBytes) {
  std::string text = "AbC \xC9t\xE9 Z";
  to_lower(text);
  EXPECT_EQ(text, "abc \xC9t\xE9 z");
}

TEST(TextCase, CapitalizeAfterEachSeparator) {
  std::string text = "the day-trip";
  capitalize_words(text, " ");
  EXPECT_EQ(text, "The Day-trip");
  text = "the day-trip";
  capitalize_words(text, " -");
  EXPECT_EQ(text, "The Day-Trip");
  text = "a ";
  capitalize_words(text, " ");
  EXPECT_EQ(text, "A ");
  text = "";
  capitalize_words(text, " ");
  EXPECT_EQ(text, "");
}

TEST(TextReplace, EqualCharactersAndZeroCountReturn) {
  std::string text = "aaa";
  replace_char(text, 'a', 'a');
  EXPECT_EQ(text, "aaa");
  erase_all(text, "a", 0);
  EXPECT_EQ(text, "aaa");
  erase_all(text, "a", 1);
  EXPECT_EQ(text, "");
}

TEST(TextReplace, EraseAllRestartsFromTheBeginning) {
  std::string text = "xaaby";
  erase_all(text, "ab", 1);  // "xaaby" -> "xaby" -> "xby"
  EXPECT_EQ(text, "xby");
  text = "1999 and 1999x";
  erase_all(text, "1999", 4);
  EXPECT_EQ(text, " and x");
  text = "abc";
  erase_all(text, "bc", 10);
  EXPECT_EQ(text, "a");
}

TEST(TextUrl, UnescapeReadsLikeStrtol) {
  const char* cases[][2] = {{"%41", "A"},         {"x%4", "x\x04"},  {"a%zzb", "ab"},
                            {"a%00b", "ab"},      {"%2541", "%41"}, {"North%20Sound", "North Sound"},
                            {"%", ""},            {"a%4g", "a\x04"}, {"%28x%29", "(x)"},
                            {"%%41", "1"}};
  for (auto& c : cases) {
    std::string text = c[0];
    url_unescape(text);
    EXPECT_EQ(text, c[1]) << "from '" << c[0] << "'";
  }
}

TEST(TextFileName, SafeFileNameCleansInOrder) {
  std::string text = "Who? <Live>: A|B";
  safe_file_name(text);
  EXPECT_EQ(text, "Who [Live]; AB");
  text = "say \"hi\"";
  safe_file_name(text);
  EXPECT_EQ(text, "say ''hi''");
  text = "AC/DC\\..\t*x\r\n";
  safe_file_name(text);
  EXPECT_EQ(text, "ACDC.._x");
  // Control characters and the bytes the code page leaves undefined go.
  text = std::string("\x1b[31mred\x7f\x00\x8D" "2F\x81" "2f;\x8F\x90\x9D", 21);
  safe_file_name(text);
  EXPECT_EQ(text, "[31mred2F2f;");
  // A letter the code page lacks stays, as its escape; an escape of a
  // control character or of a letter the code page has does not.
  text = "\x81" "3042;-\x81" "85;-\x81" "e9;";
  safe_file_name(text);
  EXPECT_EQ(text, "\x81" "3042;-85;-e9;");
}

TEST(TextSplit, DropsDelimitersAndEmptyPieces) {
  std::vector<std::string> list;
  split_any(list, "[a]--b ( c)", "[]()-");
  EXPECT_EQ(list, (std::vector<std::string>{"a", "b ", " c"}));
  list.clear();
  split_any(list, "--", "-");
  EXPECT_TRUE(list.empty());
  split_any(list, "a b", "");
  EXPECT_EQ(list, (std::vector<std::string>{"a b"}));
  split_any(list, "", "");
  EXPECT_EQ(list.size(), 1u);
}
