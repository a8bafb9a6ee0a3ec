// The built program run as a user runs it, on folders and command lines,
// with no input and no database: what it reports. (What it reads and
// offers from a folder's names and tags is a golden text.)
#include <gmock/gmock.h>

#include <filesystem>

#include "tests/support/whole_run.h"

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

using test_support::kDefaultSettings;
using test_support::make_mp3s;
using test_support::Outcome;
using test_support::shell_quoted;

namespace {

class Run : public test_support::WholeRun {};

}  // namespace

// A display that cannot be opened: the terminal takes over and says why.
// (The other folders and settings that cannot serve are golden texts.)
TEST_F(Run, ADisplayThatCannotBeOpenedLeavesTheTerminal) {
  const Outcome run = plinth(shell_quoted(work.file("Gone")), "", "/", "DISPLAY=:4093");
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(
      test_support::in_order(run.drawn, {"plinth: showing the pages in the terminal: ",
                                         "Could not open the folder " + work.file("Gone")}));
  EXPECT_THAT(run.drawn, Not(HasSubstr("in the terminal: \n")));  // it says why
}

// With a terminal on standard output the trace goes to the log file
// instead, one the user alone may read; a link planted under its name is
// not followed, so the file it names keeps its bytes.
TEST_F(Run, AtATerminalTheTraceGoesToTheLastRunLogForTheUserAlone) {
  namespace fs = std::filesystem;
  const std::string album = work.file("Album");
  fs::create_directory(album);
  make_mp3s({{album + "/01.mp3", {}}});
  const std::string log = config.cache_home() + "/plinth/last-run.log";
  const std::string victim = work.file("victim");
  const struct {
    const char* name;
    const char* before;  // "file" an old log open to all, "link" a link to victim
  } cases[] = {{"OldLogOpenToAll", "file"}, {"LinkToAnotherFile", "link"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(log);
    test_support::write_file(victim, "the user's own bytes");
    fs::create_directories(fs::path(log).parent_path());
    if (std::string(c.before) == "file") {
      test_support::write_file(log, "an old run's lines\n");
      fs::permissions(log, fs::perms(0644));
    } else if (std::string(c.before) == "link") {
      fs::create_symlink(victim, log);
    }
    int status = -1;
    test_support::run_command(
        "env -u DISPLAY -u WAYLAND_DISPLAY script -qec " +
            shell_quoted(shell_quoted(PLINTH_BINARY) + " " + shell_quoted(album) + " </dev/null") +
            " /dev/null </dev/null >/dev/null 2>&1",
        &status);
    EXPECT_EQ(status, 1);  // the end of input closed the first page
    EXPECT_EQ(test_support::read_file(victim), "the user's own bytes");
    if (std::string(c.before) == "link") {
      EXPECT_TRUE(fs::is_symlink(log));
      continue;
    }
    const auto mode = static_cast<unsigned>(fs::status(log).permissions() & fs::perms::all);
    EXPECT_EQ(mode, 0600u) << "the log's mode, in octal: " << std::oct << mode;
    EXPECT_THAT(test_support::read_file(log),
                StartsWith("command line: " + std::string(PLINTH_BINARY)));
  }
}

TEST_F(Run, InstalledConfigurationMeansNoBoxOnTheFirstRun) {
  const std::string home = work.file("home");
  std::filesystem::create_directory(home);
  const std::string environment = "-u XDG_CONFIG_HOME -u SUDO_USER HOME=" + shell_quoted(home);
  const std::string install =
      "env " + environment + " sh " + shell_quoted(PLINTH_SOURCE_DIR "/scripts/install-config");
  int status = -1;
  test_support::run_command(install + " >/dev/null", &status);
  ASSERT_EQ(status, 0);
  const std::string settings = home + "/.config/plinth/settings.xml";
  ASSERT_EQ(test_support::read_file(settings), kDefaultSettings);

  const std::string album = work.file("Album");
  std::filesystem::create_directory(album);
  make_mp3s({{album + "/01.mp3", {}}});
  const Outcome first = plinth(shell_quoted(album), "", "/", environment);
  EXPECT_EQ(first.status, 1);
  EXPECT_THAT(first.drawn, Not(HasSubstr("\n== ")));
  EXPECT_THAT(first.drawn, HasSubstr("=== Select search term ==="));

  // Installing again keeps what the user has.
  test_support::write_file(settings, "mine");
  test_support::run_command(install + " >/dev/null", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(test_support::read_file(settings), "mine");
}
