// The built program run on album folders against the stand-in web database,
// driven through its pages by commands on standard input, as a person at a
// terminal or a script drives it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include "tests/support/isolated_config.h"
#include "tests/support/mp3_maker.h"
#include "tests/support/run_checks.h"
#include "tests/support/standin_server.h"
#include "tests/support/temp_dir.h"

using test_support::Mp3Recipe;
using test_support::read_file;

namespace {

using test_support::has_line;
using test_support::names_in;
using test_support::shell_quoted;
using test_support::show_tags;

struct Outcome {
  int status = -1;
  std::string trace;  // standard output
  std::string drawn;  // what the terminal front end drew on standard error
};

// Every entry under the folder with a digest of its bytes.
std::map<std::string, size_t> snapshot(const std::string& folder) {
  std::map<std::string, size_t> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    files[entry.path().string()] =
        entry.is_regular_file() ? std::hash<std::string>()(read_file(entry.path().string())) : 0;
  }
  return files;
}

const char kDefaultSettings[] =
    "<?xml version=\"1.0\"?>\n<Settings m3u=\"t\" nfo=\"f\" g_dirf=\"[/4] /1 - /2\" "
    "g_m3uf=\"/1 - /2 [/4]\" g_tf=\"/8 - /6 - /7\" />\n";

class Wizard : public ::testing::Test {
 protected:
  void SetUp() override { config.write_settings_file(kDefaultSettings); }

  // Three files of the catalogue's "Night Ferry", named as a rip names them
  // and untagged, in a folder named after the album.
  std::string night_ferry_album(const std::string& name = "Harbour Lights - Night Ferry") {
    const std::string folder = work.file(name);
    std::filesystem::create_directory(folder);
    const char* files[] = {"01 Salt Road.mp3", "02 Night Ferry.mp3", "03 Lanterns Over Water.mp3"};
    unsigned seed = 1;
    for (const char* file : files) {
      Mp3Recipe recipe;
      recipe.seed = seed++;
      test_support::write_mp3(folder + "/" + file, recipe);
      audio[file] = test_support::audio_bytes(read_file(folder + "/" + file));
    }
    return folder;
  }

  // Runs the program on the folder in the terminal front end (no display),
  // with the input as its standard input.
  Outcome plinth(const std::string& folder, const std::string& input,
                 const std::string& proxy = "") {
    const std::string input_file = logs.file("input" + std::to_string(++runs));
    const std::string err_file = logs.file("stderr" + std::to_string(runs));
    test_support::write_file(input_file, input);
    Outcome outcome;
    outcome.trace = test_support::run_command(
        "env -u DISPLAY -u WAYLAND_DISPLAY http_proxy=" +
            shell_quoted(proxy.empty() ? server.proxy_url() : proxy) + " " +
            shell_quoted(PLINTH_BINARY) + " " + shell_quoted(folder) + " <" +
            shell_quoted(input_file) + " 2>" + shell_quoted(err_file),
        &outcome.status);
    outcome.drawn = read_file(err_file);
    return outcome;
  }

  test_support::IsolatedConfig config;
  test_support::StandinServer server;
  test_support::TempDir work;
  test_support::TempDir logs;
  std::map<std::string, std::string> audio;  // audio bytes by original name
  int runs = 0;
};

const std::string kDatabase = "http://www.discogs.com";

}  // namespace

TEST_F(Wizard, EmptyLinesTakeATypicalAlbumFromSearchToDone) {
  const std::string folder = night_ferry_album();
  const Outcome run = plinth(folder, std::string(10, '\n'));
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.drawn.find("=== Select search term ===\n>  1. Harbour Lights\n"),
            std::string::npos);
  EXPECT_NE(run.drawn.find("=== Select search result term ===\n>  1. Harbour Lights (Artist)"),
            std::string::npos);
  EXPECT_NE(run.drawn.find(">  1. Night Ferry[CD, Album, Tidewater Records]"), std::string::npos);
  EXPECT_NE(run.drawn.find("=== Confirm track matches ==="), std::string::npos);
  EXPECT_NE(run.drawn.find("Done!"), std::string::npos);

  const std::string renamed = work.file("[HL 007] Harbour Lights - Night Ferry");
  ASSERT_TRUE(std::filesystem::is_directory(renamed)) << run.drawn;
  EXPECT_FALSE(std::filesystem::exists(folder));
  EXPECT_EQ(names_in(renamed),
            (std::vector<std::string>{
                "01 - Harbour Lights - Salt Road.mp3", "02 - Harbour Lights - Night Ferry.mp3",
                "03 - Harbour Lights - Lanterns Over Water.mp3",
                "Harbour Lights - Night Ferry [HL 007].m3u", "R-100101.jpg"}));
  const std::string first = renamed + "/01 - Harbour Lights - Salt Road.mp3";
  EXPECT_EQ(test_support::audio_bytes(read_file(first)), audio["01 Salt Road.mp3"]);
  const std::string read = show_tags(first);
  for (const char* frame : {"TPE1: Harbour Lights", "TIT2: Salt Road", "TALB: Night Ferry",
                            "TYER: 2005", "TCON: Downtempo,Ambient", "ID3v2.3"}) {
    EXPECT_TRUE(has_line(read, frame)) << frame << "\n" << read;
  }
  EXPECT_NE(read.find("APIC: image/jpeg"), std::string::npos);
  const std::string playlist = read_file(renamed + "/Harbour Lights - Night Ferry [HL 007].m3u");
  EXPECT_NE(playlist.find("01 - Harbour Lights - Salt Road.mp3"), std::string::npos);
  EXPECT_NE(playlist.find("03 - Harbour Lights - Lanterns Over Water.mp3"), std::string::npos);

  for (const char* line : {"g_rurl results:1", "label is false", "main::1067",
                           "rename 01 Salt Road.mp3 to 1 - Harbour Lights - Salt Road.mp3",
                           "main::1077", "initing dlg", "main::244"}) {
    EXPECT_TRUE(has_line(run.trace, line)) << line;
  }
  EXPECT_TRUE(has_line(run.trace, "requesting " + kDatabase + "/release/100101"));
  EXPECT_TRUE(server.requested(kDatabase + "/search?type=all&q=Harbour+Lights"));
  EXPECT_TRUE(server.requested(kDatabase + "/artist/Harbour+Lights"));
}

TEST_F(Wizard, ALabelLeadsToItsReleasesWithTheirArtists) {
  const std::string folder = night_ferry_album();
  const Outcome run = plinth(folder, "= Tidewater Records\nmanual search\n\n\n\n\n");
  EXPECT_NE(run.drawn.find("Tidewater Records (Label)"), std::string::npos);
  EXPECT_NE(run.drawn.find(">  1. Night Ferry[CD, Album, Harbour Lights]"), std::string::npos);
  EXPECT_TRUE(has_line(run.trace, "label is true"));
  EXPECT_TRUE(server.requested(kDatabase + "/label/Tidewater+Records"));
  EXPECT_TRUE(std::filesystem::is_directory(work.file("[HL 007] Harbour Lights - Night Ferry")));
}

TEST_F(Wizard, ATypedReleaseAddressGoesStraightToTheMatches) {
  const std::string folder = night_ferry_album();
  const Outcome run = plinth(folder, "= " + kDatabase + "/release/100101\nmanual search\n\n\n");
  EXPECT_EQ(run.drawn.find("Select search result term"), std::string::npos);
  EXPECT_EQ(run.drawn.find("Select release"), std::string::npos);
  EXPECT_NE(run.drawn.find("=== Confirm track matches ==="), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(work.file("[HL 007] Harbour Lights - Night Ferry")));
  EXPECT_FALSE(server.requested(kDatabase + "/search?type=all&q=Harbour+Lights"));
}

TEST_F(Wizard, CancelOrEndOfInputOnAnyPageLeavesEverythingUntouched) {
  const std::string folder = night_ferry_album();
  const auto before = snapshot(work.path());
  const struct {
    std::string input;
    std::string last_page;
  } cases[] = {
      {"cancel\n", "Select search term"},
      {"", "Select search term"},
      {"\ncancel\n", "Select search result term"},
      {"\n", "Select search result term"},
      {"\n\ncancel\n", "Select release"},
      {"\n\n", "Select release"},
      {"\n\n\ncancel\n", "Confirm track matches"},
      {"\n\n\n", "Confirm track matches"},
      {"\n\n\nfilenames\ntrack = x\n", "Confirm track matches"},
  };
  for (const auto& c : cases) {
    const Outcome run = plinth(folder, c.input);
    EXPECT_EQ(run.status, 0);
    const size_t last = run.drawn.rfind("=== ");
    ASSERT_NE(last, std::string::npos);
    EXPECT_EQ(run.drawn.compare(last, 4 + c.last_page.size(), "=== " + c.last_page), 0)
        << c.input << run.drawn.substr(last);
    EXPECT_EQ(run.drawn.find("Done!"), std::string::npos);
    EXPECT_EQ(snapshot(work.path()), before) << c.input;
  }
}

TEST_F(Wizard, CancelOnTheFirstPageSendsNoRequest) {
  const std::string folder = night_ferry_album();
  plinth(folder, "cancel\n");
  plinth(folder, "");
  EXPECT_TRUE(server.request_log().empty());
}

TEST_F(Wizard, ForceMatchGivesAFileAnotherTrack) {
  const std::string folder = night_ferry_album();
  const Outcome run = plinth(folder,
                             "\n\n\nforce match\n\noriginal 1\nforce match\n\n"
                             "original 1\nrelease 12\nforce match\n\n\n");
  EXPECT_NE(run.drawn.find("Please select an original track filename to rename"),
            std::string::npos);
  EXPECT_NE(run.drawn.find("Please assign a matching track filename from the release database"),
            std::string::npos);
  const std::string renamed = work.file("[HL 007] Harbour Lights - Night Ferry");
  const std::string moved = renamed + "/12 - Harbour Lights - Morning Landfall.mp3";
  ASSERT_TRUE(std::filesystem::exists(moved)) << run.drawn;
  EXPECT_EQ(test_support::audio_bytes(read_file(moved)), audio["01 Salt Road.mp3"]);
  EXPECT_TRUE(has_line(show_tags(moved), "TIT2: Morning Landfall"));
  EXPECT_FALSE(std::filesystem::exists(renamed + "/01 - Harbour Lights - Salt Road.mp3"));
}

TEST_F(Wizard, NumberedArtistNameIsKeptOrDroppedAsAnswered) {
  const std::string address = "= " + kDatabase + "/release/100104\nmanual search\n";
  const std::string kept = night_ferry_album("kept");
  const Outcome no = plinth(kept, address + "n\n\n\n");
  EXPECT_NE(no.drawn.find("Remove brackets after artist name for Marta Vey (2)?"),
            std::string::npos);
  const std::string dropped = night_ferry_album("dropped");
  plinth(dropped, address + "yes\n\n\n");

  std::vector<std::string> folders = names_in(work.path());
  ASSERT_EQ(folders.size(), 2u);
  const std::string with_suffix =
      work.file(folders[0].find("(2)") != std::string::npos ? folders[0] : folders[1]);
  const std::string without =
      work.file(folders[0].find("(2)") != std::string::npos ? folders[1] : folders[0]);
  EXPECT_NE(with_suffix.find("Marta Vey (2) - Paper Moons"), std::string::npos) << with_suffix;
  EXPECT_NE(without.find("Marta Vey - Paper Moons"), std::string::npos) << without;
  for (const std::string& name : names_in(without)) {
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".mp3") == 0) {
      EXPECT_TRUE(has_line(show_tags(without + "/" + name), "TPE1: Marta Vey")) << name;
    }
  }
}

TEST_F(Wizard, UnreachableServerEndsTheRunWithAMessage) {
  const std::string folder = night_ferry_album();
  const auto before = snapshot(work.path());
  const int port = server.port();
  server.stop();
  const Outcome run = plinth(folder, "\n\n\n\n", "http://127.0.0.1:" + std::to_string(port));
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.drawn.find("Could not connect to web server"), std::string::npos);
  EXPECT_EQ(run.drawn.find("Select release"), std::string::npos);
  EXPECT_EQ(snapshot(work.path()), before);
}

TEST_F(Wizard, ToggelM3uTwiceKeepsThePlaylistAndOnceDropsIt) {
  plinth(night_ferry_album("Harbour Lights - Night Ferry (twice)"),
         "toggel m3u\n\ntoggel m3u\n\n\n\n\n\n");
  const std::string twice = work.file("[HL 007] Harbour Lights - Night Ferry");
  ASSERT_TRUE(std::filesystem::is_directory(twice));
  EXPECT_TRUE(std::filesystem::exists(twice + "/Harbour Lights - Night Ferry [HL 007].m3u"));
  std::filesystem::rename(twice, work.file("done"));

  const Outcome once =
      plinth(night_ferry_album("Harbour Lights - Night Ferry (once)"), "\n\n\ntoggel m3u\n\n\n\n");
  EXPECT_NE(once.drawn.find("M3U Playlist Generation off"), std::string::npos);
  const std::string renamed = work.file("[HL 007] Harbour Lights - Night Ferry");
  ASSERT_TRUE(std::filesystem::is_directory(renamed));
  EXPECT_FALSE(std::filesystem::exists(renamed + "/Harbour Lights - Night Ferry [HL 007].m3u"));
}

TEST_F(Wizard, NewTemplatesServeThisRunWithoutBeingSaved) {
  const std::string folder = night_ferry_album();
  plinth(folder, "\n\n\nfilenames\ndirectory = /2 (/5)\ntrack = /8 /7\nplaylist = list\nok\n\n\n");
  const std::string renamed = work.file("Night Ferry (2005)");
  ASSERT_TRUE(std::filesystem::is_directory(renamed));
  EXPECT_EQ(names_in(renamed),
            (std::vector<std::string>{"01 Salt Road.mp3", "02 Night Ferry.mp3",
                                      "03 Lanterns Over Water.mp3", "R-100101.jpg", "list.m3u"}));
  EXPECT_EQ(read_file(config.settings_path()), kDefaultSettings);
}

TEST_F(Wizard, SavedSettingsServeTheNextRun) {
  const std::string folder = night_ferry_album();
  plinth(folder, "filenames\ntrack = /7 by /1\nok\nsave settings\ncancel\n");
  EXPECT_NE(read_file(config.settings_path()).find("g_tf=\"/7 by /1\""), std::string::npos);
  plinth(folder, std::string(8, '\n'));
  const std::string renamed = work.file("[HL 007] Harbour Lights - Night Ferry");
  ASSERT_TRUE(std::filesystem::is_directory(renamed));
  EXPECT_TRUE(std::filesystem::exists(renamed + "/Salt Road by Harbour Lights.mp3"));
}
