// The built program run as a user runs it: on a folder, with no input.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include "platform/codepage.h"
#include "tests/support/isolated_config.h"
#include "tests/support/mp3_maker.h"
#include "tests/support/run_checks.h"
#include "tests/support/temp_dir.h"

using test_support::Mp3Recipe;
using test_support::text_frame;
using test_support::TextEncoding;

namespace {

using test_support::shell_quoted;

struct Result {
  int status = -1;
  std::string out;  // the trace lines
  std::string err;  // what the terminal front end drew
};

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

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

Mp3Recipe tagged(int version, std::vector<test_support::Id3Frame> frames, unsigned seed) {
  Mp3Recipe recipe;
  recipe.id3v2_version = version;
  recipe.frames = std::move(frames);
  recipe.seed = seed;
  return recipe;
}

class Run : public ::testing::Test {
 protected:
  void SetUp() override { config.write_settings_file(default_settings); }

  // Runs the program from `cwd` with the arguments, as a shell would.
  Result plinth(const std::string& arguments, const std::string& cwd = "/",
                const std::string& environment = "") {
    Result result;
    const std::string err = logs.file("stderr.txt");
    // Without a display, so that the pages are drawn in the terminal.
    result.out = test_support::run_command(
        "cd " + shell_quoted(cwd) + " && env -u DISPLAY -u WAYLAND_DISPLAY " + environment + " " +
            shell_quoted(PLINTH_BINARY) + " " + arguments + " </dev/null 2>" + shell_quoted(err),
        &result.status);
    result.err = test_support::read_file(err);
    return result;
  }

  // Every entry of a folder with a digest of its bytes, to show that
  // nothing changed.
  static std::map<std::string, size_t> snapshot(const std::string& folder) {
    std::map<std::string, size_t> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
      files[entry.path().string()] =
          entry.is_regular_file()
              ? std::hash<std::string>()(test_support::read_file(entry.path().string()))
              : 0;
    }
    return files;
  }

  const std::string default_settings =
      "<?xml version=\"1.0\"?>\n<Settings m3u=\"t\" nfo=\"f\" g_dirf=\"[/4] /1 - /2\" "
      "g_m3uf=\"/1 - /2 [/4]\" g_tf=\"/8 - /6 - /7\" />\n";
  test_support::IsolatedConfig config;
  test_support::TempDir work;
  test_support::TempDir logs;
};

}  // namespace

TEST_F(Run, WorkedExampleFolderGivesTheTraceAndTheCandidatesInOrder) {
  const std::string folder = work.file("Some_Artist - Some Title [CAT_042] - (2005)");
  std::filesystem::create_directory(folder);
  test_support::write_mp3(folder + "/01 Harbour Lights.mp3",
                          tagged(3,
                                 {text_frame("TPE1", "SOME ARTIST", TextEncoding::kLatin1),
                                  text_frame("TIT2", "Harbour Lights", TextEncoding::kLatin1),
                                  text_frame("TALB", "Some Title", TextEncoding::kLatin1),
                                  text_frame("TRCK", "1/3", TextEncoding::kLatin1),
                                  text_frame("TYER", "2005", TextEncoding::kLatin1)},
                                 1));
  test_support::write_mp3(folder + "/02.mp3", tagged(0, {}, 2));
  test_support::write_mp3(folder + "/03 - Night Drive.MP3",
                          tagged(4,
                                 {text_frame("TPE2", "Some Artist", TextEncoding::kUtf16),
                                  text_frame("TIT2", "Night Drive", TextEncoding::kUtf8),
                                  text_frame("TALB", "Some Title", TextEncoding::kUtf16BE),
                                  text_frame("TRCK", "3", TextEncoding::kLatin1),
                                  text_frame("TDRC", "2005-06-01", TextEncoding::kLatin1)},
                                 3));
  test_support::write_file(folder + "/cover.jpg", "not music");
  const auto before = snapshot(folder);

  const Result result = plinth(shell_quoted(folder));
  EXPECT_EQ(result.status, 0);
  // No box on a run with a proper configuration; the first page offers the
  // candidates, most frequent first chosen, and the end of input closes it.
  EXPECT_EQ(result.err.find("\n== "), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("=== Select search term ===\n"
                            ">  1. Some Artist\n"
                            "   2. Some Title\n"
                            "   3. Cat 042\n"
                            "   4. 2005\n"
                            "   5. Harbour Lights\n"
                            "   6. Night Drive\n"),
            std::string::npos)
      << result.err;

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
  EXPECT_EQ(lines_of(result.out), expected);
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
  for (size_t i = 0; i < names.size(); ++i) {
    test_support::write_mp3(
        folder + "/" + names[i],
        tagged(i % 2 == 0 ? 3 : 4,
               {text_frame("TPE1", unicode, TextEncoding::kUtf16),
                text_frame("TIT2", "Track " + std::to_string(i + 1) + " \xE6\x97\xA5",
                           i % 2 == 0 ? TextEncoding::kUtf16 : TextEncoding::kUtf8)},
               static_cast<unsigned>(i + 1)));
  }
  const Result result = plinth(shell_quoted(folder));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err.find("\n== "), std::string::npos) << result.err;
  const std::vector<std::string> lines = lines_of(result.out);
  for (size_t i = 0; i < names.size(); ++i) {
    // The log holds the program's own 8-bit text: the code page, with
    // escapes for what it lacks.
    const auto at =
        std::find(lines.begin(), lines.end(), "reading: " + platform::name_from_fs(names[i]));
    ASSERT_NE(at, lines.end()) << names[i];
    ASSERT_LT(at + 2, lines.end());
    EXPECT_EQ(*(at + 1),
              "artist: '\xDCn\xEF"
              "c\xF6"
              "d\xE9'");
    EXPECT_EQ(*(at + 2), "title : 'Track " + std::to_string(i + 1) + " ?'");
  }
  EXPECT_NE(result.out.find("clean name: \xDCn\xEF"
                            "c\xF6"
                            "d\xE9 album\n"),
            std::string::npos);
  // The candidates are shown to the user in UTF-8.
  EXPECT_NE(result.err.find("   1. " + unicode + " Album\n>  2. " + unicode + "\n"),
            std::string::npos)
      << result.err;
}

TEST_F(Run, NoFolderOrAMissingOneShowsABoxAndTouchesNothing) {
  const std::string album = work.file("Album");
  std::filesystem::create_directory(album);
  test_support::write_mp3(album + "/01.mp3",
                          tagged(3, {text_frame("TIT2", "x", TextEncoding::kLatin1)}, 1));
  const auto before = snapshot(work.path());

  const Result none = plinth("", album);
  EXPECT_EQ(none.status, 0);
  EXPECT_NE(none.err.find("== (!) Error! =="), std::string::npos);
  EXPECT_NE(none.err.find("No folder was given"), std::string::npos);
  EXPECT_EQ(lines_of(none.out),
            std::vector<std::string>{"command line: " + std::string(PLINTH_BINARY)});

  // A display that cannot be opened: the terminal takes over and says why.
  const Result missing = plinth(shell_quoted(work.file("Gone")), album, "DISPLAY=:4093");
  EXPECT_EQ(missing.err.rfind("plinth: showing the pages in the terminal: ", 0), 0u) << missing.err;
  EXPECT_EQ(missing.status, 0);
  EXPECT_NE(missing.err.find("Could not open the folder " + work.file("Gone")), std::string::npos);
  EXPECT_EQ(missing.out.find("reading:"), std::string::npos);
  EXPECT_EQ(snapshot(work.path()), before);
}

TEST_F(Run, BrokenSettingsAreReportedAndTheDefaultsUsed) {
  config.write_settings_file("<Settings g_tf=");
  const std::string album = work.file("Album");
  std::filesystem::create_directory(album);
  test_support::write_mp3(album + "/01.mp3", Mp3Recipe());
  const Result result = plinth(shell_quoted(album));
  EXPECT_EQ(result.status, 0);
  const std::vector<std::string> lines = lines_of(result.out);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1].rfind("Could not load test file. Error='", 0), 0u) << lines[1];
  EXPECT_NE(lines[1].find("'. Exiting."), std::string::npos);
  const size_t box = result.err.find("\n871\n");
  const size_t then = result.err.find("Could not read settings file - using defaults");
  ASSERT_NE(box, std::string::npos);
  ASSERT_NE(then, std::string::npos);
  EXPECT_LT(box, then);
  EXPECT_NE(result.out.find("reading: 01.mp3"), std::string::npos);
}

TEST_F(Run, InstalledConfigurationMeansNoBoxOnTheFirstRun) {
  const std::string home = work.file("home");
  std::filesystem::create_directory(home);
  const std::string environment = "env -u XDG_CONFIG_HOME -u SUDO_USER HOME=" + shell_quoted(home);
  int status = -1;
  test_support::run_command(environment + " sh " +
                                shell_quoted(PLINTH_SOURCE_DIR "/scripts/install-config") +
                                " >/dev/null",
                            &status);
  ASSERT_EQ(status, 0);
  const std::string settings = home + "/.config/plinth/settings.xml";
  ASSERT_EQ(test_support::read_file(settings), default_settings);

  const std::string album = work.file("Album");
  std::filesystem::create_directory(album);
  test_support::write_mp3(album + "/01.mp3", Mp3Recipe());
  const Result first = plinth(shell_quoted(album), "/", environment);
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(first.err.find("\n== "), std::string::npos) << first.err;
  EXPECT_NE(first.err.find("=== Select search term ==="), std::string::npos);

  // Installing again keeps what the user has.
  test_support::write_file(settings, "mine");
  test_support::run_command(environment + " sh " +
                                shell_quoted(PLINTH_SOURCE_DIR "/scripts/install-config") +
                                " >/dev/null",
                            &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(test_support::read_file(settings), "mine");
}
