#include "platform/registry/registry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/isolated_config.h"
#include "tests/support/mp3_files.h"

using platform::parse_registry_export;
using platform::read_registry_value;
using platform::RegistryRead;

namespace {

const char kKey[] = "hkey_local_machine\\software\\varnel\\plinth";

std::string utf16le_with_bom(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

}  // namespace

TEST(RegistryExport, ReadsStringValuesWithCrLfAndEscapes) {
  const auto keys = parse_registry_export(
      "Windows Registry Editor Version 5.00\r\n\r\n"
      " \t[HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnel\\Plinth] \r\n"  // blanks of a hand edit
      "\"Settings\"=\"C:\\\\My \\\"Music\\\"\\\\s.xml\"\r\n"
      "@=\"C:\\\\\"\r\n");  // a backslash last
  ASSERT_EQ(keys.count(kKey), 1u);
  EXPECT_THAT(keys.at(kKey), ::testing::UnorderedElementsAre(
                                 ::testing::Pair("settings", "C:\\My \"Music\"\\s.xml"),
                                 ::testing::Pair("", "C:\\")));
}

TEST(RegistryExport, ReadsUtf16WithByteOrderMark) {
  std::string bytes = utf16le_with_bom(
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnel\\Plinth]\r\n"
      "\"Settings\"=\"/home/me/");
  bytes += std::string("\xE9\x00\x3C\xD8\x35\xDF", 6);  // é, U+1F335 as a surrogate pair
  bytes += utf16le_with_bom(".xml\"\r\n").substr(2);
  const auto keys = parse_registry_export(bytes);
  EXPECT_EQ(keys.at(kKey).at("settings"), "/home/me/\xC3\xA9\xF0\x9F\x8C\xB5.xml");
  // The same in big-endian order.
  std::string big = "\xFE\xFF";
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) big += std::string{bytes[i + 1], bytes[i]};
  EXPECT_EQ(parse_registry_export(big).at(kKey).at("settings"),
            "/home/me/\xC3\xA9\xF0\x9F\x8C\xB5.xml");
}

TEST(RegistryExport, SkipsWhatIsNotAStringValueOfAKey) {
  const auto keys = parse_registry_export(
      "\xEF\xBB\xBF\"Orphan\"=\"before any key\"\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnel\\Plinth]\n"
      "; a comment\n"
      "\"Count\"=dword:00000001\n"
      "\"Binary\"=hex:01,02,\\\n  03,04\n"
      "\"Open\"=\"no closing quote\n"
      "\"NoEquals\" \"x\"\n"
      "garbage line\n"
      "\"Settings\" = \"/s.xml\"\n"
      "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Gone]\n"
      "\"Lost\"=\"under a deleted key\"\n"
      "[unterminated\n"
      "\"Also\"=\"lost\"\n");
  ASSERT_EQ(keys.size(), 1u);
  const auto& values = keys.at(kKey);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values.at("settings"), "/s.xml");
}

TEST(RegistryExport, BrokenBytesNeverCrash) {
  const std::string valid = utf16le_with_bom(
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnel\\Plinth]\r\n\"Settings\"=\"/a\\\\b\\\"c\"\r\n");
  // A value is read only once its closing quote is whole: an odd last byte
  // is no character.
  const size_t quote_end = valid.rfind('"') + 2;
  for (size_t cut = 0; cut <= valid.size(); ++cut) {
    const auto keys = parse_registry_export(valid.substr(0, cut));
    const bool read = keys.count(kKey) == 1 && keys.at(kKey).count("settings") == 1;
    EXPECT_EQ(read, cut >= quote_end) << "cut at byte " << cut;
    if (read) {
      EXPECT_EQ(keys.at(kKey).at("settings"), "/a\\b\"c") << "cut at byte " << cut;
    }
  }
  for (size_t cut = 0; cut <= valid.size(); ++cut) parse_registry_export(valid.substr(2, cut));
  parse_registry_export(std::string("\xFF\xFE\x00\xD8", 4));  // a lone surrogate
  parse_registry_export(std::string("[\0]\n\"\0\"=\"\0\"", 11));
  parse_registry_export("\"\\");
  SUCCEED();
}

// The user's file, then one in each absolute folder of XDG_CONFIG_DIRS, or
// of /etc/xdg when that names none.
TEST(RegistryFiles, TheUsersFileThenEachSystemFolderInOrder) {
  using ::testing::ElementsAre;
  const std::string user = platform::user_config_folder() + "/registry.reg";
  for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
    test_support::ScopedEnv dirs("XDG_CONFIG_DIRS", unset);
    EXPECT_THAT(platform::registry_file_paths(), ElementsAre(user, "/etc/xdg/plinth/registry.reg"));
  }
  test_support::ScopedEnv dirs("XDG_CONFIG_DIRS", "/a:/c:relative::/b");
  EXPECT_THAT(platform::registry_file_paths(),
              ElementsAre(user, "/a/plinth/registry.reg", "/c/plinth/registry.reg",
                          "/b/plinth/registry.reg"));
}

// A file beyond a megabyte is no registry export the program reads; one of
// exactly a megabyte is read, up to a value that ends in an escaped "\".
TEST(RegistryFiles, AFileBeyondAMegabyteIsNotRead) {
  const test_support::IsolatedConfig config;
  const std::string key =
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnel\\Plinth]\n\"Settings\"=\"C:\\\\My\\\\\"\n";
  std::string value;
  for (const size_t size : {size_t{1} << 20, (size_t{1} << 20) + 1}) {
    config.write_registry(key + std::string(size - key.size(), ' '));
    const RegistryRead read =
        read_registry_value("HKEY_LOCAL_MACHINE", "SOFTWARE\\Varnel\\Plinth", "Settings", value);
    EXPECT_EQ(read, size == size_t{1} << 20 ? RegistryRead::kFound : RegistryRead::kNoKey) << size;
  }
  EXPECT_EQ(value, "C:\\My\\");
}
