#include "common/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

TEST(Text, EditsInPlace) {
  const auto capitalize = [](const char* separators) {
    return [separators](std::string& text) { capitalize_words(text, separators); };
  };
  const auto erase = [](const char* needle, int count) {
    return [needle, count](std::string& text) { erase_all(text, needle, count); };
  };
  const struct {
    std::function<void(std::string&)> edit;
    std::string in, out;
  } rows[] = {
      {[](std::string& t) { strip_leading(t, '-'); }, "--a-b--", "a-b--"},
      {[](std::string& t) { strip_trailing(t, '-'); }, "--a-b--", "--a-b"},
      {[](std::string& t) { strip_trailing(t, '-'); }, "----", ""},
      {[](std::string& t) { remove_char(t, 'a'); }, "banana", "bnn"},
      {remove_tabs_and_breaks, "a\tb\r\nc d", "abc d"},
      {[](std::string& t) { replace_char(t, 'a', 'a'); }, "aaa", "aaa"},
      // Blanks go in pairs, left to right.
      {squeeze_blanks, "a  b", "a b"},
      {squeeze_blanks, "a    b", "a  b"},
      {squeeze_blanks, "a     b", "a   b"},
      {squeeze_blanks, "  ", " "},
      {to_lower, "AbC \xC9t\xE9 Z", "abc \xC9t\xE9 z"},
      {capitalize(" "), "the day-trip", "The Day-trip"},
      {capitalize(" -"), "the day-trip", "The Day-Trip"},
      {capitalize(" "), "a ", "A "},
      // Erasing starts again from the beginning each time.
      {erase("a", 0), "aaa", "aaa"},
      {erase("ab", 1), "xaaby", "xby"},
      {erase("1999", 4), "1999 and 1999x", " and x"},
      {erase("bc", 10), "abc", "a"},
      // Escapes are read as strtol reads hex; a zero byte is dropped.
      {url_unescape, "North%20Sound%28x%29", "North Sound(x)"},
      {url_unescape, "x%4", "x\x04"},
      {url_unescape, "a%zzb", "ab"},
      {url_unescape, "a%00b", "ab"},
      {url_unescape, "%2541", "%41"},
      {url_unescape, "%", ""},
      {url_unescape, "a%4g", "a\x04"},
      {url_unescape, "%%41", "1"},
  };
  for (const auto& row : rows) {
    std::string text = row.in;
    row.edit(text);
    EXPECT_EQ(text, row.out) << "from '" << row.in << "'";
  }
}

TEST(Text, SearchesWithinBounds) {
  const struct {
    std::string haystack, needle;
    int start, found;
    bool backwards;
  } rows[] = {
      {"xabc", "abc", 0, 1, false},      {"xabc", "abc", 2, -1, false},
      {"xabc", "", 0, -1, false},        {"xabc", "abc", 100, -1, false},
      {"xabc", "abcd", 0, -1, false},    {"xabcabc", "abc", 6, 4, true},
      {"xabcabc", "abc", 5, 1, true},    {"xabcabc", "abc", 2, -1, true},
      {"xabcabc", "abc", 1000, 4, true}, {"xabcabc", "", 6, -1, true},
      {"ab", "abc", 5, -1, true},        {"abc", "abc", 2, 0, true},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.backwards ? rfind_text(row.haystack, row.needle, row.start)
                            : find_text(row.haystack, row.needle, row.start),
              row.found)
        << row.haystack << " " << row.needle << " " << row.start;
  }
  std::vector<std::string> list;
  split_any(list, "[a]--b ( c)", "[]()-");
  split_any(list, "--", "-");
  EXPECT_EQ(list, (std::vector<std::string>{"a", "b ", " c"}));
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
  text = std::string(
      "\x1b[31mred\x7f\x00\x8D"
      "2F\x81"
      "2f;\x8F\x90\x9D",
      21);
  safe_file_name(text);
  EXPECT_EQ(text, "[31mred2F2f;");
}

// A letter the code page lacks stays, as its escape; an escape of a control
// character goes whole, the marks that reorder text included, so that
// "Track<RLO>3pm.exe<PDF>" cannot pose as another name; an escape of a
// letter the code page has is no escape, and only its first byte goes.
TEST(TextFileName, ControlEscapesGoWholeForeignLettersStay) {
  const struct {
    const char* name;
    const char* text;  // '~' stands for the escape byte 0x81
    const char* kept;
  } cases[] = {
      {"ForeignLetter", "a~3042;b", "a~3042;b"},
      {"C1Control", "a~85;b", "ab"},
      {"C0Control", "a~1b;b", "ab"},
      {"RightToLeftOverride", "Track~202e;3pm.exe~202c;", "Track3pm.exe"},
      {"OtherBidiMarks", "~202a;a~202d;b~2066;c~2069;d~200e;e~200f;f~61c;", "abcdef"},
      {"NextToBidiMarks", "~2065;~202f;~2010;", "~2065;~202f;~2010;"},
      {"LetterTheCodePageHas", "~e9;", "e9;"},
  };
  const auto escaped = [](std::string text) {
    std::replace(text.begin(), text.end(), '~', '\x81');
    return text;
  };
  for (const auto& c : cases) {
    std::string text = escaped(c.text);
    safe_file_name(text);
    EXPECT_EQ(text, escaped(c.kept)) << c.name;
  }
}
