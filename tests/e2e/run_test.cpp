// The built program run as a user runs it, on folders and command lines,
// with no input and no database: what it reads, offers and reports.
#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>

#include "platform/codepage.h"
#include "tests/support/whole_run.h"

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

using test_support::kDefaultSettings;
using test_support::lines_of;
using test_support::make_mp3s;
using test_support::Outcome;
using test_support::shell_quoted;

namespace {

class Run : public test_support::WholeRun {};

std::vector<std::string> tag_lines(const std::string& file, const std::string& artist,
                                   const std::string& title, const std::string& album,
                                   const std::string& track, const std::string& year) {
  return {"reading: " + file,
          "artist: '" + artist + "'",
          "title : '" + title + "'",
          "album : '" + album + "'",
          "label :\t''",
          "catnum:\t''",
          "track#: '" + track + "'",
          "reldate:'" + year + "'",
          "genre : ''",
          "style : ''",
          "comment:''"};
}

}  // namespace

TEST_F(Run, WorkedExampleFolderGivesTheTraceAndTheCandidatesInOrder) {
  const std::string folder = work.file("Some_Artist - Some Title [CAT_042] - (2005)");
  std::filesystem::create_directory(folder);
  make_mp3s(
      {{folder + "/01 Harbour Lights.mp3",
        {"TPE1=SOME ARTIST", "TIT2=Harbour Lights", "TALB=Some Title", "TRCK=1/3", "TYER=2005"}},
       {folder + "/02.mp3", {"seed=2"}},
       {folder + "/03 - Night Drive.MP3",
        {"seed=3", "v2=4", "enc=1", "TPE2=Some Artist", "TIT2=Night Drive", "TALB=Some Title",
         "TRCK=3", "TDRC=2005-06-01"}}});
  test_support::write_file(folder + "/cover.jpg", "not music");
  const auto before = snapshot(folder);

  const Outcome result = plinth(shell_quoted(folder));
  EXPECT_EQ(result.status, 1);
  // No box on a run with a proper configuration; the first page offers the
  // candidates, most frequent first chosen, and the end of input closes it.
  EXPECT_THAT(result.drawn, Not(HasSubstr("\n== ")));
  EXPECT_THAT(result.drawn, HasSubstr("=== Select search term ===\n"
                                      ">  1. Some Artist\n"
                                      "   2. Some Title\n"
                                      "   3. Cat 042\n"
                                      "   4. 2005\n"
                                      "   5. Harbour Lights\n"
                                      "   6. Night Drive\n"));

  std::vector<std::string> expected = {"command line: " + std::string(PLINTH_BINARY) + " " +
                                       folder};
  for (const auto& lines : {tag_lines("01 Harbour Lights.mp3", "SOME ARTIST", "Harbour Lights",
                                      "Some Title", "1/3", "2005"),
                            tag_lines("02.mp3", "", "", "", "", ""),
                            tag_lines("03 - Night Drive.MP3", "Some Artist", "Night Drive",
                                      "Some Title", "3", "2005-06-01")}) {
    expected.insert(expected.end(), lines.begin(), lines.end());
  }
  for (const char* line :
       {"clean name: some artist - some title [cat 042] - (2005)", "[1017]:add id3 tag info"}) {
    expected.push_back(line);
  }
  EXPECT_EQ(lines_of(result.trace), expected);
  EXPECT_EQ(snapshot(folder), before);
}

TEST_F(Run, FilesNamedOutsideTheCodePageAreAllListedAndRead) {
  const std::string unicode =
      "\xC3\x9Cn\xC3\xAF"
      "c\xC3\xB6"
      "d\xC3\xA9";  // Ünïcödé
  const std::string folder = work.file(unicode + " Album");
  std::filesystem::create_directory(folder);
  const std::vector<std::string> names = {
      "01 " + unicode + ".mp3",
      "02 \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.mp3",         // 日本語
      "03 \xE3\x83\x8A\xE3\x82\xA4\xE3\x83\x88.mp3",         // ナイト
      "04 \xE6\x9D\xB1\xE4\xBA\xAC \xC3\xA9t\xC3\xA9.mp3"};  // 東京 été
  std::vector<test_support::Mp3> files;
  for (size_t i = 0; i < names.size(); ++i) {
    files.push_back({folder + "/" + names[i],
                     {"seed=" + std::to_string(i + 1), i % 2 == 0 ? "v2=3" : "v2=4",
                      i % 2 == 0 ? "enc=1" : "enc=3", "TPE1=" + unicode,
                      "TIT2=Track " + std::to_string(i + 1) + " \xE6\x97\xA5"}});
  }
  make_mp3s(files);
  const Outcome result = plinth(shell_quoted(folder));
  EXPECT_EQ(result.status, 1);
  const std::vector<std::string> lines = lines_of(result.trace);
  for (size_t i = 0; i < names.size(); ++i) {
    // The log holds the program's own 8-bit text: the code page, with
    // escapes for what it lacks.
    const auto at =
        std::find(lines.begin(), lines.end(), "reading: " + platform::name_from_fs(names[i]));
    ASSERT_LT(at + 2, lines.end()) << names[i];
    EXPECT_EQ(*(at + 1),
              "artist: '\xDCn\xEF"
              "c\xF6"
              "d\xE9'");
    EXPECT_EQ(*(at + 2), "title : 'Track " + std::to_string(i + 1) + " \20165e5;'");
  }
  EXPECT_THAT(result.trace, HasSubstr("clean name: \xDCn\xEF"
                                      "c\xF6"
                                      "d\xE9 album\n"));
  // The candidates are shown to the user in UTF-8.
  EXPECT_THAT(result.drawn, HasSubstr("   1. " + unicode + " Album\n>  2. " + unicode + "\n"));
}

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
