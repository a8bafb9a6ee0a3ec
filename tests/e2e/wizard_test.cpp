// The built program run on album folders against the stand-in web database,
// driven through its pages by commands on standard input, as a person at a
// terminal or a script drives it.
#include <gmock/gmock.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/whole_run.h"

using ::testing::Not;

using test_support::has_line;
using test_support::in_order;
using test_support::names_in;
using test_support::Outcome;
using test_support::read_file;
using test_support::shell_quoted;
using test_support::show_tags;
using ::testing::HasSubstr;

namespace {

// Where the build puts the program, and the help page beside it.
std::string build_folder() { return std::filesystem::path(PLINTH_BINARY).parent_path().string(); }

class Wizard : public test_support::WholeRun {
 protected:
  Wizard() { start_server(); }

  // Three files of the catalogue's "Night Ferry", named as a rip names them
  // and untagged, in a folder named after the album.
  std::string night_ferry_album() {
    const std::string folder = work.file("Harbour Lights - Night Ferry");
    std::filesystem::create_directory(folder);
    test_support::make_mp3s({{folder + "/01 Salt Road.mp3", {"seed=1"}},
                             {folder + "/02 Night Ferry.mp3", {"seed=2"}},
                             {folder + "/03 Lanterns Over Water.mp3", {"seed=3"}}});
    for (const std::string& file : names_in(folder))
      audio[file] = test_support::audio_bytes(read_file(folder + "/" + file));
    return folder;
  }

  Outcome plinth(const std::string& folder, const std::string& input) {
    return WholeRun::plinth(shell_quoted(folder), input);
  }

  std::map<std::string, std::string> audio;  // audio bytes by original name
};

}  // namespace

// What a script reads from the exit status where no other run looks: an
// unknown option, and a database that cannot be reached.
TEST_F(Wizard, ExitStatusSaysHowTheRunEnded) {
  start_server({"--fault", "refuse"});
  const Outcome unknown = WholeRun::plinth("--frobnicate", "", "/", "");
  EXPECT_EQ(unknown.status, 2) << unknown.drawn;
  const Outcome refused =
      WholeRun::plinth(shell_quoted(night_ferry_album()), std::string(10, '\n'), "/", "");
  EXPECT_EQ(refused.status, 3) << refused.drawn;
}

// With a browser to start, Online Help hands the page to xdg-open, whose
// own output stays off the terminal, and the run goes on alone. xdg-open is
// sought along the whole PATH, past folders without it and an empty entry.
TEST_F(Wizard, OnlineHelpStartsTheBrowserQuietly) {
  const std::string opened = work.file("opened");
  std::filesystem::create_directory(work.file("bin"));
  test_support::write_file(
      work.file("bin/xdg-open"),
      "#!/bin/sh\necho browser chatter >&2\necho \"$1\" >" + shell_quoted(opened) + "\n");
  std::filesystem::permissions(work.file("bin/xdg-open"), std::filesystem::perms::owner_all);
  WholeRun::plinth(shell_quoted(night_ferry_album()), "online help\ncancel\n", "/",
                   "BROWSER=x PATH=/nowhere::" + shell_quoted(work.file("bin")) + ":/usr/bin:/bin");
  for (int i = 0; i < 100 && !std::filesystem::exists(opened); ++i) usleep(50000);
  EXPECT_EQ(read_file(opened), "file://" + build_folder() + "/plinthhelp.html\n");
  // Only the browser was started: no second program took the next command.
  const std::string drawn = read_file(logs.file("err" + std::to_string(runs)));
  EXPECT_THAT(drawn, Not(HasSubstr("chatter")));
  EXPECT_EQ(drawn.find("> cancel"), drawn.rfind("> cancel")) << drawn;
  // Without xdg-open anywhere in PATH, the box says where the page is.
  std::filesystem::remove(work.file("bin/xdg-open"));
  std::filesystem::create_symlink("/usr/bin/timeout", work.file("bin/timeout"));
  const Outcome none = WholeRun::plinth(shell_quoted(night_ferry_album()), "online help\ncancel\n",
                                        "/", "BROWSER=x PATH=" + shell_quoted(work.file("bin")));
  EXPECT_THAT(none.drawn, HasSubstr("No program could open the help page."));
  EXPECT_THAT(none.drawn, Not(HasSubstr("Opening")));
}

// An overlong release page is read from its first part. (Typed addresses
// are golden transcripts.)
TEST_F(Wizard, AnOverlongReleasePageIsReadFromItsStart) {
  start_server({"--fault", "huge-page", "--fault-path", "/release/"});
  const Outcome run = plinth(night_ferry_album(), "= Tomas Quill\nmanual search\n\n\n");
  EXPECT_TRUE(in_order(run.drawn, {"=== Confirm track matches", "A Lowlands"}));
  EXPECT_THAT(run.drawn, Not(HasSubstr("Done!")));
}

// The token is stored for the owner only; an empty text removes it.
TEST_F(Wizard, DatabaseTokenIsStoredForTheOwnerOnly) {
  const std::string folder = night_ferry_album();
  const std::string token_file = config.config_home() + "/plinth/discogs-token";
  const Outcome run = plinth(folder, "database token\n=  abc123 \t\n\n\ncancel\n");
  EXPECT_THAT(run.drawn, HasSubstr("== Database Token ==\nThe database token was stored in "));
  EXPECT_EQ(read_file(token_file), "abc123\n");
  EXPECT_EQ(std::filesystem::status(token_file).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  plinth(folder, "database token\n= other\ncancel\ncancel\n");  // Cancel stores nothing
  EXPECT_EQ(read_file(token_file), "abc123\n");
  const Outcome removed = plinth(folder, "database token\n=\n\n\ncancel\n");
  EXPECT_THAT(run.drawn, HasSubstr("No token is stored."));
  EXPECT_THAT(removed.drawn, HasSubstr("A token is stored. Type a new one to replace it, or empty "
                                       "the field to remove\nit."));
  EXPECT_FALSE(std::filesystem::exists(token_file));
  // A folder in the file's place: the box says why.
  std::filesystem::create_directory(token_file);
  const Outcome refused = plinth(folder, "database token\n= abc\n\n\ncancel\n");
  EXPECT_THAT(refused.drawn, HasSubstr("Could not store the database token in "));
  EXPECT_THAT(refused.drawn, HasSubstr("Is a directory"));
}

TEST_F(Wizard, ForceMatchGivesAFileAnotherTrack) {
  const std::string folder = night_ferry_album();
  const Outcome run =
      plinth(folder,
             "\n\n\nforce match\n\noriginal 1\nforce match\n\n"
             "original 1\nrelease 12\nforce match\noriginal 2\nrelease 3\nforce match\n\n"
             "original 2\nrelease 1\n"
             "force match\n\n\n");
  EXPECT_THAT(run.drawn, HasSubstr("Please select an original track filename to rename"));
  EXPECT_THAT(run.drawn,
              HasSubstr("Please assign a matching track filename from the release database"));
  // Track 3 is the third file's already: a box says so, and both files'
  // matches are marked until another Force Match.
  EXPECT_THAT(run.drawn, HasSubstr("== (!) Force Match ==\nThis track is also matched to "));
  EXPECT_THAT(
      run.drawn,
      HasSubstr(
          "   2. 03 Lanterns Over Water (2 files)\n   3. 03 Lanterns Over Water (2 files)\n"));
  const std::string renamed = work.file("[HL 007] Harbour Lights - Night Ferry");
  const std::string moved = renamed + "/12 - Harbour Lights - Morning Landfall.mp3";
  ASSERT_TRUE(std::filesystem::exists(moved)) << run.drawn;
  EXPECT_EQ(test_support::audio_bytes(read_file(moved)), audio["01 Salt Road.mp3"]);
  EXPECT_TRUE(has_line(show_tags(moved), "TIT2: Morning Landfall"));
  const std::string first = renamed + "/01 - Harbour Lights - Salt Road.mp3";
  EXPECT_EQ(test_support::audio_bytes(read_file(first)), audio["02 Night Ferry.mp3"]);
  EXPECT_FALSE(std::filesystem::exists(renamed + "/02 - Harbour Lights - Night Ferry.mp3"));
}
