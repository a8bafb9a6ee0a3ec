#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "tests/support/current_folder.h"
#include "tests/support/temp_dir.h"

using platform::absolute_folder;
using platform::folder_argument;

TEST(CommandLine, AbsoluteFolderRemovesDotsAndSlashesWithoutResolving) {
  const char* cases[][3] = {
      {"/music/Album/", "/x", "/music/Album"},
      {"/music/./A/../Album", "/x", "/music/Album"},
      {"Album", "/home/me/music", "/home/me/music/Album"},
      {"../Album", "/home/me/music", "/home/me/Album"},
      {".", "/home/me", "/home/me"},
      {"//music//Album//", "/x", "/music/Album"},
      {"/../..", "/x", "/"},
      {"/", "/x", "/"},
      {"a/.../b", "/", "/a/.../b"},
  };
  for (auto& c : cases) EXPECT_EQ(absolute_folder(c[0], c[1]), c[2]) << c[0] << " in " << c[1];
}

TEST(CommandLine, ArgumentsAreJoinedByBlanksWithoutQuotes) {
  const char* argv[] = {"/usr/bin/plinth", "/music/\"My", "Album\"", nullptr};
  EXPECT_EQ(folder_argument(3, argv), "/music/My Album");
  EXPECT_EQ(platform::command_line(3, argv), "/usr/bin/plinth /music/\"My Album\"");
}

// Quotes are a launcher's, unless the folder's own name holds them; "--"
// ends the options.
TEST(CommandLine, QuotesStayWhenTheFolderHasThemAndDoubleDashEndsTheOptions) {
  test_support::TempDir dir;
  const std::string quoted = dir.file("Say \"Hi\"");
  std::filesystem::create_directory(quoted);
  const std::vector<std::string> given = {dir.file("Say"), "\"Hi\""};
  const char* argv[] = {"plinth", given[0].c_str(), given[1].c_str(), nullptr};
  EXPECT_EQ(folder_argument(3, argv), quoted);
  std::filesystem::remove(quoted);
  EXPECT_EQ(folder_argument(3, argv), dir.file("Say Hi"));
  const char* dashed[] = {"plinth", "--", "/music/-x", nullptr};
  EXPECT_EQ(folder_argument(3, dashed), "/music/-x");
  const char* dash_folder[] = {"plinth", "/music/--", nullptr};
  EXPECT_EQ(folder_argument(2, dash_folder), "/music/--");
}

TEST(CommandLine, NoArgumentGivesNoFolder) {
  const char* only_program[] = {"plinth", nullptr};
  EXPECT_EQ(folder_argument(1, only_program), "");
  const char* only_quotes[] = {"plinth", "\"\"", nullptr};
  EXPECT_EQ(folder_argument(2, only_quotes), "");
}

TEST(CommandLine, RelativeFolderIsTakenFromTheCurrentFolder) {
  test_support::KeepCurrentFolder keep;
  test_support::TempDir dir;
  std::filesystem::current_path(dir.path());
  const std::string current = std::filesystem::current_path().string();
  const char* argv[] = {"plinth", "./Album/", nullptr};
  EXPECT_EQ(folder_argument(2, argv), current + "/Album");
}

TEST(CommandLine, FolderNamesOutsideTheCodePageSurviveTheRoundTrip) {
  const char* argv[] = {"plinth", "/music/\xE6\x97\xA5\xE6\x9C\xAC", nullptr};
  const std::string folder = folder_argument(2, argv);
  EXPECT_EQ(platform::to_utf8(folder), "/music/\xE6\x97\xA5\xE6\x9C\xAC");
}
