#include "platform/moves.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>

#include "tests/support/mp3_files.h"
#include "tests/support/run_checks.h"
#include "tests/support/temp_dir.h"

namespace {

using test_support::read_file;
using test_support::TempDir;
using test_support::write_file;

using test_support::entries;

TEST(MoveNoReplace, RenamesAFileKeepingItsBytes) {
  TempDir dir;
  write_file(dir.file("old.mp3"), "content");
  EXPECT_EQ(platform::move_no_replace(dir.file("old.mp3"), dir.file("new.mp3")), 0);
  EXPECT_EQ(entries(dir.path()), std::set<std::string>({"new.mp3"}));
  EXPECT_EQ(read_file(dir.file("new.mp3")), "content");
}

TEST(MoveNoReplace, ExistingTargetFailsAndChangesNothing) {
  TempDir dir;
  write_file(dir.file("a.mp3"), "first");
  write_file(dir.file("b.mp3"), "second");
  EXPECT_EQ(platform::move_no_replace(dir.file("a.mp3"), dir.file("b.mp3")), EEXIST);
  EXPECT_EQ(read_file(dir.file("a.mp3")), "first");
  EXPECT_EQ(read_file(dir.file("b.mp3")), "second");

  std::filesystem::create_directory(dir.file("empty folder"));
  EXPECT_EQ(platform::move_no_replace(dir.file("a.mp3"), dir.file("empty folder")), EEXIST);
  EXPECT_EQ(read_file(dir.file("a.mp3")), "first");
}

TEST(MoveNoReplace, FolderOntoAnExistingFolderFails) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("album"));
  write_file(dir.file("album/01.mp3"), "one");
  std::filesystem::create_directory(dir.file("target"));  // empty: rename(2) would replace it
  EXPECT_EQ(platform::move_no_replace(dir.file("album"), dir.file("target")), EEXIST);
  EXPECT_EQ(read_file(dir.file("album/01.mp3")), "one");
  EXPECT_TRUE(std::filesystem::is_empty(dir.file("target")));

  EXPECT_EQ(platform::move_no_replace(dir.file("album"), dir.file("renamed")), 0);
  EXPECT_EQ(read_file(dir.file("renamed/01.mp3")), "one");
}

TEST(MoveNoReplace, CaseOnlyRenameIsARealRename) {
  TempDir dir;
  write_file(dir.file("track.mp3"), "x");
  EXPECT_EQ(platform::move_no_replace(dir.file("track.mp3"), dir.file("Track.mp3")), 0);
  EXPECT_EQ(entries(dir.path()), std::set<std::string>({"Track.mp3"}));
}

TEST(MoveNoReplace, TwoHardLinksOfOneFileAreTwoNames) {
  TempDir dir;
  write_file(dir.file("a.mp3"), "shared");
  ASSERT_EQ(::link(dir.file("a.mp3").c_str(), dir.file("b.mp3").c_str()), 0);
  EXPECT_EQ(platform::move_no_replace(dir.file("a.mp3"), dir.file("b.mp3")), EEXIST);
  EXPECT_EQ(entries(dir.path()), std::set<std::string>({"a.mp3", "b.mp3"}));
}

TEST(MoveNoReplace, MissingSourceOrEmptyTargetIsAnError) {
  TempDir dir;
  write_file(dir.file("a.mp3"), "x");
  EXPECT_EQ(platform::move_no_replace(dir.file("missing.mp3"), dir.file("b.mp3")), ENOENT);
  EXPECT_EQ(platform::move_no_replace(dir.file("a.mp3"), ""), ENOENT);
  EXPECT_EQ(entries(dir.path()), std::set<std::string>({"a.mp3"}));
}

TEST(MoveNoReplace, NamesCrossTheCodePageBoundary) {
  TempDir dir;
  write_file(dir.file("a.mp3"), "x");
  // 0xE9 is e acute in Windows-1252; on disk the name is UTF-8.
  EXPECT_EQ(platform::move_no_replace(dir.path() + "/a.mp3", dir.path() + "/Caf\xE9.mp3"), 0);
  EXPECT_EQ(entries(dir.path()), std::set<std::string>({"Caf\xC3\xA9.mp3"}));
}

TEST(MoveByLink, MovesAFileAndNeverReplaces) {
  TempDir dir;
  write_file(dir.file("a"), "first");
  write_file(dir.file("b"), "second");
  EXPECT_EQ(platform::move_by_link(dir.file("a"), dir.file("b")), EEXIST);
  EXPECT_EQ(read_file(dir.file("a")), "first");
  EXPECT_EQ(read_file(dir.file("b")), "second");
  EXPECT_EQ(platform::move_by_link(dir.file("a"), dir.file("c")), 0);
  EXPECT_EQ(entries(dir.path()), std::set<std::string>({"b", "c"}));
  EXPECT_EQ(read_file(dir.file("c")), "first");
}

TEST(MoveAfterCheck, MovesAndRefusesAnExistingTarget) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("album"));
  std::filesystem::create_directory(dir.file("other"));
  EXPECT_EQ(platform::move_after_check(dir.file("album"), dir.file("other")), EEXIST);
  EXPECT_EQ(platform::move_after_check(dir.file("album"), dir.file("moved")), 0);
  EXPECT_EQ(entries(dir.path()), std::set<std::string>({"moved", "other"}));
}

}  // namespace
