#include "platform/files/folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/codepage.h"
#include "platform/files/album_entries.h"
#include "platform/paths.h"
#include "tests/support/current_folder.h"
#include "tests/support/mp3_files.h"
#include "tests/support/temp_dir.h"

using test_support::KeepCurrentFolder;
using test_support::TempDir;
using test_support::write_file;

namespace {

class Folders : public ::testing::Test {
 protected:
  void enter() { ASSERT_TRUE(platform::set_current_folder(platform::name_from_fs(dir.path()))); }

  KeepCurrentFolder keep;
  TempDir dir;
};

}  // namespace

TEST_F(Folders, ListsMp3NamesInAnyCaseSortedWithoutRegardToCase) {
  for (const char* name :
       {"b.mp3", "a.mp3", "C.Mp3", "A.MP3.mp3", "A.mp3", "notes.txt", "x.mp3.bak", "mp3"}) {
    write_file(dir.file(name), "x");
  }
  std::filesystem::create_directory(dir.file("Disc 2.MP3"));
  enter();
  // A name that is another's beginning, letter case aside, comes after it.
  const std::vector<std::string> expected = {"A.mp3", "a.mp3", "A.MP3.mp3",
                                             "b.mp3", "C.Mp3", "Disc 2.MP3"};
  EXPECT_EQ(platform::list_mp3_names(), expected);
}

TEST_F(Folders, NamesOutsideTheCodePageAreListedAndOpenable) {
  const std::vector<std::string> fs_names = {
      "\xC3\x9Cn\xC3\xAF"
      "c\xC3\xB6"
      "d\xC3\xA9.mp3",                             // Ünïcödé
      "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.mp3",  // 日本語
      "\xE3\x81\x82\xE3\x81\x84.mp3", "raw\xFF.mp3"};
  for (const std::string& name : fs_names) write_file(dir.file(name), "x");
  enter();
  const std::vector<std::string> listed = platform::list_mp3_names();
  ASSERT_EQ(listed.size(), fs_names.size());
  for (const std::string& name : listed) {
    EXPECT_TRUE(platform::file_readable(name)) << platform::to_utf8(name);
    EXPECT_TRUE(std::filesystem::exists(dir.file(platform::fs_name(name))));
  }
  // Held bytes decide the order: 'r', then the escapes (0x81), then 0xDC.
  EXPECT_EQ(listed.front(),
            "raw\x8D"
            "ff.mp3");
  EXPECT_EQ(listed.back(),
            "\xDCn\xEF"
            "c\xF6"
            "d\xE9.mp3");
}

// What is no folder is neither entered, the current folder staying, nor
// given an identity.
TEST_F(Folders, WhatIsNoFolderIsNeitherEnteredNorIdentified) {
  write_file(dir.file("file.mp3"), "x");
  enter();
  platform::FolderIdentity identity;
  for (const std::string& path : {dir.file("missing"), dir.file("file.mp3"), std::string()}) {
    EXPECT_FALSE(platform::set_current_folder(path)) << path;
    EXPECT_FALSE(platform::folder_identity(path, identity)) << path;
  }
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(dir.path()));
  EXPECT_TRUE(platform::folder_identity(dir.path(), identity));
}

TEST_F(Folders, OnlyRegularFilesAreReadable) {
  write_file(dir.file("song.mp3"), "x");
  std::filesystem::create_directory(dir.file("folder.mp3"));
  ASSERT_EQ(mkfifo(dir.file("pipe.mp3").c_str(), 0600), 0);
  enter();
  EXPECT_TRUE(platform::file_readable("song.mp3"));
  EXPECT_FALSE(platform::file_readable("folder.mp3"));
  EXPECT_FALSE(platform::file_readable("pipe.mp3"));  // and does not block
  EXPECT_FALSE(platform::file_readable("missing.mp3"));
}

// The one check of a name from the database, on the file system's bytes:
// the code page's escapes are judged after they are decoded.
TEST(EntryName, OnlyOneComponentWithoutControlCharactersIsAName) {
  const std::pair<std::string, std::string> cases[] = {
      {"Caf\xE9 - 01.mp3", ""},
      {"...mp3", ""},
      {"a/b.mp3", "it holds a '/'"},
      {"..\x8D"
       "2Fb.mp3",
       "it holds a '/'"},
      {"..\x81"
       "2f;b.mp3",
       "it holds a '/'"},
      {"..", "it names a folder, not a file in it"},
      {".", "it names a folder, not a file in it"},
      {"cut\x8D"
       "00off",
       "it holds a zero byte"},
      {std::string("cut\0off", 7), "it holds a zero byte"},
      {"red\x1b[31m", "it holds a control character"},
      {"del\x7F", "it holds a control character"},
      {"\x81"
       "9b;csi",
       "it holds a control character"},  // U+009B, the name's first character
  };
  for (const auto& [name, why] : cases) {
    EXPECT_EQ(platform::entry_name_refusal(name), why) << platform::to_utf8(name);
  }
}

// A bare name's folder is the current one, so that a name made beside it
// stays there.
TEST(Paths, TheFolderOfAPath) {
  EXPECT_EQ(platform::folder_of("a.mp3"), ".");
  EXPECT_EQ(platform::folder_of("/a.mp3"), "/");
  EXPECT_EQ(platform::folder_of("x/y/a.mp3"), "x/y");
}
