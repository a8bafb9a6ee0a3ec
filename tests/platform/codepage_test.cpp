#include "platform/codepage.h"

#include <gtest/gtest.h>

using platform::name_from_fs;
using platform::text_from_utf8;
using platform::to_utf8;

TEST(CodePage, LatinLettersAreOneByte) {
  EXPECT_EQ(name_from_fs("Caf\xC3\xA9"), "Caf\xE9");
  EXPECT_EQ(to_utf8("Caf\xE9"), "Caf\xC3\xA9");
  // Every letter of 0x80..0x9F, in order, the five undefined bytes left out.
  const std::string high =
      "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E"
      "\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F";
  const std::string letters = u8"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ";
  EXPECT_EQ(to_utf8(high), letters);
  EXPECT_EQ(name_from_fs(letters), high);
}

TEST(CodePage, NamesOutsideTheCodePageRoundTrip) {
  const std::string names[] = {"\xE3\x81\x82\xE3\x81\x84.mp3",  // Japanese
                               "\xC3\x9Cn\xC3\xAF"
                               "c\xC3\xB6"
                               "d\xC3\xA9.mp3",
                               "bad\xFF\xFEname.mp3",        // not UTF-8
                               "\xF0\x9F\x8E\xB5 note.mp3",  // outside the BMP
                               "plain.mp3"};
  for (const std::string& name : names) EXPECT_EQ(to_utf8(name_from_fs(name)), name) << name;
  EXPECT_NE(name_from_fs("\xE3\x81\x82.mp3"), name_from_fs("\xE3\x81\x84.mp3"));
}

TEST(CodePage, TextLosesWhatTheCodePageLacks) {
  EXPECT_EQ(text_from_utf8("Caf\xC3\xA9 \xE3\x81\x82"), "Caf\xE9 ?");
  EXPECT_EQ(text_from_utf8("\xFF"), "?");
  // Undefined bytes that start no escape show as the replacement character.
  EXPECT_EQ(to_utf8("\x81x"), "\xEF\xBF\xBDx");
  EXPECT_EQ(to_utf8("\x81;"), "\xEF\xBF\xBD;") << "an escape without digits";
}
