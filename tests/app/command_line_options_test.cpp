#include "app/options/command_line_options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "platform/registry/registry.h"
#include "platform/trace.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

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
    // The help tells the terminal's commands and where the files are.
    if (c.option && c.argv.back() == std::string("--help")) {
      for (const std::string& path :
           {std::string("next, cancel, ...   press the button or menu item of that name"),
            std::string("  back                the page before (<< Back)\n"),
            std::string("Exit status:\n  0  the run finished"),
            std::string("  3  the run could not go on: "), platform::trace_log_path(),
            platform::registry_file_paths()[0]})
        EXPECT_THAT(out, HasSubstr(path)) << path;
      // No line is missing, and the text above the files' paths fits 80 columns.
      EXPECT_EQ(std::count(out.begin(), out.end(), '\n'),
                44 + platform::registry_file_paths().size());
      std::istringstream text(out.substr(0, out.find("Files:")));
      for (std::string line; std::getline(text, line);) EXPECT_LE(line.size(), 80u) << line;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr().empty(), c.status != 2) << c.argv.back();
    EXPECT_EQ(status, c.status) << c.argv.back();
  }
}
