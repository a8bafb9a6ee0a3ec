#include "app/options/windows_command_line.h"

#include <gtest/gtest.h>

// The folder follows the first blank after ".exe"; quotes go.
TEST(WindowsCommandLine, FolderFollowsTheFirstBlankAfterExe) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\Tools\\app.exe \"D:\\My Music\\Album\"", "D:\\My Music\\Album"},
      {"\"C:\\Program Files\\app.exe\" D:\\My Music\\Album", "D:\\My Music\\Album"},
      {"\"C:\\Tools\\app.exe\"", "C:\\Tools\\app.exe"},
      {"C:\\Tools\\app.exe ", ""},
      {"C:\\x.EXE D:\\A", "C:\\x.EXE D:\\A"}};  // case matters
  for (const auto& [line, folder] : cases)
    EXPECT_EQ(folder_from_command_line(line), folder) << line;
}
