#include "app/options/command_line_options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using ::testing::StartsWith;

// The whole help text is a golden text of its own (tests/e2e/golden).
TEST(CommandLineOptions, OptionsPrintAndEndTheRunButFoldersRun) {
  const struct {
    std::vector<const char*> argv;
    bool option;
    int status;
    const char* printed;
  } kCases[] = {
      {{"plinth", "--help"}, true, 0, "Usage: plinth FOLDER\n"},
      {{"plinth", "-h"}, true, 0, "Usage: plinth FOLDER\n"},
      {{"plinth", "--version"}, true, 0, "plinth " PLINTH_TEST_VERSION "\n"},
      {{"plinth", "-help"}, true, 2, ""},
      {{"plinth", "./-help"}, false, -1, ""},
      {{"plinth", "--", "-help"}, false, -1, ""},
      {{"plinth", "My", "--help"}, false, -1, ""},
      {{"plinth"}, false, -1, ""},
  };
  for (const auto& c : kCases) {
    int status = -1;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(run_command_line_option(static_cast<int>(c.argv.size()), c.argv.data(), status),
              c.option)
        << c.argv.back();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_THAT(out, StartsWith(c.printed)) << c.argv.back();
    EXPECT_EQ(testing::internal::GetCapturedStderr().empty(), c.status != 2) << c.argv.back();
    EXPECT_EQ(status, c.status) << c.argv.back();
  }
}
