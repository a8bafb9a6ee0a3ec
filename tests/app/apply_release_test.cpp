#include "app/finish/apply_release.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>

#include "model/run_state.h"
#include "model/settings.h"
#include "platform/codepage.h"
#include "tests/output/in_temp_folder.h"
#include "tests/output/mutagen_frames.h"
#include "tests/support/mp3_files.h"
#include "tests/support/recording_front_end.h"
#include "tests/support/run_checks.h"
#include "tests/support/standin_server.h"
#include "tests/support/temp_dir.h"

namespace {

using output_test::one;
using output_test::read_frames;
using test_support::audio_bytes;
using test_support::read_file;
using test_support::RecordedBox;

// Error boxes have no owner, so that they show even after the page is gone.
const std::string kError = "[Error! 48 unowned] ";
const std::string kDone = "[Done. 0] Done!\n";

std::string move_error(const std::string &why, const std::string &from, const std::string &to) {
  return kError + "An error:'" + why + "' occured when trying to move '" + from + "' to '" + to +
         "'\n";
}
using test_support::write_file;

using test_support::entries;
using Names = std::set<std::string>;

std::string journal_folder() {
  return std::string(std::getenv("XDG_STATE_HOME")) + "/plinth/journal";
}

// Artist, title, label, catalogue number, date, genre, style, the tracks'
// artists, names and numbers, and the picture.
Release three_track_release() {
  Release release{"Artist", "Title", "Label", "CAT1", "2001", "", "House", {}, {}, {}, ""};
  release.track_artists = {"X", "X", "X"};
  release.track_names = {"One", "Two", "Ten"};
  release.track_numbers = {"1", "2", "10"};
  return release;
}

// A run that has reached "Finish!": an album folder inside the test's
// folder, its files listed and assigned to tracks of the chosen release.
class Finish : public output_test::InTempFolder {
 protected:
  void SetUp() override {
    output_test::InTempFolder::SetUp();
    album_ = file("Old Album");
    std::filesystem::create_directory(album_);
    g_run.folder_path = album_;
    g_releases = {three_track_release()};
    g_run.release_index = 0;
  }

  // Adds an MP3 file to the album, assigned to the track.
  std::string add_file(const std::string &name, int track, unsigned seed) {
    const std::string bytes = test_support::untagged_mp3(seed);
    write_file(album_ + "/" + name, bytes);
    assign(name, track);
    return bytes;
  }
  static void assign(const std::string &name, int track) {
    g_run.files.push_back(name);
    g_run.assignment.track_of_file.push_back(track);
  }

  std::string renamed_album() const { return file("[CAT1] Artist - Title"); }

  // The folder is entered, as the run does at its start, then Finish!.
  void finish() {
    g_run.folder = platform::EnteredFolder();
    platform::enter_folder(g_run.folder_path, g_run.folder);
    apply_release(dialog());
  }

  static platform::Window *dialog() {
    static char window;  // stands for the page; the box only needs an owner
    return reinterpret_cast<platform::Window *>(&window);
  }

  // Every box shown, a line each: "[caption style, unowned] text"; of the
  // last box, "Done!" only (the rest is the test of its own below).
  std::string shown() const {
    std::string lines;
    for (const RecordedBox &box : boxes_.boxes) {
      const std::string text = box.caption == "Done." ? box.text.substr(0, 5) : box.text;
      lines += "[" + box.caption + " " + std::to_string(box.style) + (box.owned ? "" : " unowned") +
               "] " + text + "\n";
    }
    return lines;
  }

  test_support::RecordingFrontEnd boxes_;
  std::string album_;
};

// What cannot be written is said, and the rest of the work goes on: a
// file whose tag cannot be read keeps its bytes but still gets its new name.
TEST_F(Finish, AFileOrPlaylistThatCannotBeWrittenIsReported) {
  add_file("a.mp3", 0, 1);
  const std::string damaged =
      std::string("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) + test_support::untagged_mp3(1);
  write_file(album_ + "/b.mp3", damaged);
  assign("b.mp3", 1);
  // A folder where the playlist would go.
  std::filesystem::create_directory(album_ + "/Artist - Title [CAT1].m3u");
  finish();

  const std::string album = renamed_album();
  EXPECT_TRUE(read_file(album + "/2 - X - Two.mp3") == damaged);
  EXPECT_EQ(one(read_frames(album + "/1 - X - One.mp3"), "TIT2"), "One");
  EXPECT_EQ(shown(),
            kError + "Could not write the tags of 'b.mp3': it could not be read as an MP3 file\n" +
                kError +
                "These were left alone, as they are symbolic links or not regular files:\n"
                "'Artist - Title [CAT1].m3u'\n" +
                kDone);
}

TEST_F(Finish, APlaylistNameTooLongForTheFolderIsReported) {
  add_file("a.mp3", 0, 1);
  g_m3uf = std::string(300, 'p');
  finish();
  EXPECT_EQ(shown(), kError + "Could not write the playlist '" + std::string(300, 'p') +
                         ".m3u': File name too long\n" + kDone);
}

// Finish! and then --undo give the album back byte for byte: two copies
// of one track, both matched to it, each get their own name back, and a
// file of the user's under the playlist's name is kept in the journal
// before the playlist takes its place, and comes back.
TEST_F(Finish, ThenUndoGivesTheAlbumBackByteForByte) {
  std::filesystem::remove_all(journal_folder());
  add_file("a.mp3", 0, 1);
  add_file("a\x1b copy.mp3", 0, 1);  // an ESC, shown escaped
  add_file("b.mp3", 1, 2);
  write_file(album_ + "/Artist - Title [CAT1].m3u", "my own list");
  std::map<std::string, std::string> before;
  for (const std::string &name : entries(album_)) before[name] = read_file(album_ + "/" + name);
  finish();
  EXPECT_EQ(read_file(renamed_album() + "/Artist - Title [CAT1].m3u"),
            "#EXTM3U\r\n1 - X - One.mp3\r\n2 - X - Two.mp3\r\na\x1b copy.mp3\r\n");

  int status = -1;
  const std::string printed = test_support::run_command(
      std::string(PLINTH_BINARY) + " --undo '" + renamed_album() + "'", &status);
  EXPECT_EQ(status, 0) << printed;
  EXPECT_THAT(printed, ::testing::HasSubstr("restored 'a\\x1b copy.mp3'"));
  EXPECT_EQ(entries(album_),
            Names({"a.mp3", "a\x1b copy.mp3", "b.mp3", "Artist - Title [CAT1].m3u"}));
  for (const auto &file : before) {
    EXPECT_TRUE(read_file(album_ + "/" + file.first) == file.second) << file.first;
  }
  std::filesystem::remove_all(journal_folder());
}

TEST_F(Finish, TwoFilesOnOneTrackLoseNothing) {
  const std::string a = add_file("a.mp3", 0, 1);
  const std::string b = add_file("b.mp3", 0, 2);
  finish();
  const std::string album = renamed_album();
  EXPECT_EQ(entries(album), Names({"1 - X - One.mp3", "b.mp3", "Artist - Title [CAT1].m3u"}));
  EXPECT_EQ(shown(), move_error("File exists", "b.mp3", "1 - X - One.mp3") + kDone);
  // The file that kept its name has its new tags; both audio parts are there.
  EXPECT_EQ(one(read_frames(album + "/b.mp3"), "TIT2"), "One");
  EXPECT_TRUE(audio_bytes(read_file(album + "/1 - X - One.mp3")) == audio_bytes(a));
  EXPECT_TRUE(audio_bytes(read_file(album + "/b.mp3")) == audio_bytes(b));
  // The playlist lists the names the files have, not the ones they were meant to get.
  EXPECT_EQ(read_file(album + "/Artist - Title [CAT1].m3u"),
            "#EXTM3U\r\n1 - X - One.mp3\r\nb.mp3\r\n");
}

TEST_F(Finish, AnExistingTargetIsNeverReplaced) {
  add_file("a.mp3", 0, 1);
  write_file(album_ + "/1 - X - One.mp3", "precious");
  std::filesystem::create_directory(renamed_album());
  write_file(renamed_album() + "/inside", "also precious");
  finish();
  EXPECT_EQ(read_file(album_ + "/1 - X - One.mp3"), "precious");
  EXPECT_TRUE(std::filesystem::exists(album_ + "/a.mp3"));
  EXPECT_EQ(entries(renamed_album()), Names({"inside"}));
  EXPECT_EQ(shown(), move_error("File exists", "a.mp3", "1 - X - One.mp3") +
                         move_error("File exists", album_, "[CAT1] Artist - Title") + kDone);
}

TEST_F(Finish, ARightNameStaysAndACaseOnlyChangeIsMade) {
  add_file("1 - X - One.mp3", 0, 1);
  add_file("2 - x - two.mp3", 1, 2);
  g_m3u = false;
  finish();
  EXPECT_EQ(entries(renamed_album()), Names({"1 - X - One.mp3", "2 - X - Two.mp3"}));
  EXPECT_EQ(shown(), kDone);
}

// The box says where the folder is now and how to take the run back, with
// the program as it was started; each is quoted for a shell where needed.
TEST_F(Finish, TheDoneBoxNamesTheFolderAndTheCommandThatUndoesTheRun) {
  add_file("a.mp3", 0, 1);
  g_run.program = "./my plinth";
  finish();
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].text, "Done!\nThe folder is now " + renamed_album() +
                                      "\nTo take this run back: './my plinth' --undo '" +
                                      renamed_album() + "'");
}

TEST_F(Finish, AFolderTemplateThatExpandsToNothingKeepsTheFolder) {
  add_file("a.mp3", 0, 1);
  g_dirf = "/3";
  g_releases[0].label.clear();
  finish();
  EXPECT_EQ(entries(album_), Names({"1 - X - One.mp3", "Artist - Title [CAT1].m3u"}));
  EXPECT_EQ(shown(), move_error("No such file or directory", album_, "") + kDone);
  EXPECT_THAT(boxes_.boxes.back().text,
              ::testing::EndsWith("The folder is now " + album_ +
                                  "\nTo take this run back: plinth --undo '" + album_ + "'"));
}

TEST_F(Finish, TemplatesThatExpandToNothingRenameNothingAndWriteNoPlaylist) {
  add_file("a.mp3", 0, 1);
  add_file("b.mp3", 1, 2);
  g_tf = "/9";
  g_m3uf = "/9";
  g_releases[0].style.clear();
  finish();
  EXPECT_EQ(entries(renamed_album()), Names({"a.mp3", "b.mp3"}));
}

// The playlist's lines are the files' names as the file system holds them,
// for a new name and for a local one the code page lacks letters for.
TEST_F(Finish, NamesCrossTheCodePageAndThePlaylistNamesTheFiles) {
  add_file("a.mp3", 0, 1);
  const std::string japanese = "\xE6\x97\xA5\xE6\x9C\xAC.mp3";  // 日本.mp3
  write_file(album_ + "/" + japanese, test_support::untagged_mp3(2));
  assign(platform::name_from_fs(japanese), 0);  // its new name is taken: it keeps its own
  g_releases[0].track_names[0] = "Caf\xE9";     // Windows-1252 e acute
  finish();
  const std::string cafe = "1 - X - Caf\xC3\xA9.mp3";
  EXPECT_EQ(entries(renamed_album()), Names({cafe, japanese, "Artist - Title [CAT1].m3u"}));
  EXPECT_EQ(read_file(renamed_album() + "/Artist - Title [CAT1].m3u"),
            "#EXTM3U\r\n" + cafe + "\r\n" + japanese + "\r\n");
}

TEST_F(Finish, AFolderReachedThroughALinkIsRenamedWhereTheUserSeesIt) {
  std::filesystem::create_directories(file("store/real album"));
  std::filesystem::create_directory_symlink("store/real album", file("Linked Album"));
  album_ = file("Linked Album");
  g_run.folder_path = album_;
  add_file("a.mp3", 0, 1);
  finish();
  EXPECT_TRUE(std::filesystem::is_symlink(renamed_album()));
  EXPECT_EQ(entries(file("store")), Names({"real album"}));
  EXPECT_EQ(entries(file("store/real album")),
            Names({"1 - X - One.mp3", "Artist - Title [CAT1].m3u"}));
  EXPECT_EQ(shown(), kDone);
}

TEST_F(Finish, AFolderThatCannotBeEnteredStopsEverything) {
  add_file("a.mp3", 0, 1);
  // The same name in the current folder must not be touched either.
  const std::string here = test_support::untagged_mp3(1);
  write_file(file("a.mp3"), here);
  g_run.folder_path = file("missing folder");
  finish();
  EXPECT_EQ(shown(), kError + "Could not open the folder " + g_run.folder_path + "\n");
  EXPECT_TRUE(read_file(file("a.mp3")) == here);
  EXPECT_EQ(entries(dir_.path()), Names({"a.mp3", "Old Album"}));
  EXPECT_EQ(entries(album_), Names({"a.mp3"}));
}

// The cover comes from the stand-in's picture host, reached as the proxy.
class FinishWithCover : public Finish {
 protected:
  void SetUp() override {
    Finish::SetUp();
    g_releases[0].picture_url = "http://images.discogs.com/R/t/R-100101.jpg";
  }
  void serve(const std::vector<std::string> &args) {
    server_ = std::make_unique<test_support::StandinServer>(args);
    proxy_ = std::make_unique<test_support::ScopedProxy>(server_->proxy_url());
  }
  std::unique_ptr<test_support::StandinServer> server_;
  std::unique_ptr<test_support::ScopedProxy> proxy_;
};

// A name from the database that cannot be a name in the folder is not used:
// the folder keeps its name, the cover is not fetched, and one box says so,
// once for the name however often it came up.
TEST_F(FinishWithCover, ANameThatCannotBeInTheFolderIsRefusedAndToldOnce) {
  serve({});
  add_file("a.mp3", 0, 1);
  g_dirf = "/4";
  g_releases[0].catalog_number = "..";
  g_releases[0].picture_url = "http://images.discogs.com/R/t/..";
  finish();
  EXPECT_EQ(entries(album_), Names({"1 - X - One.mp3", "Artist - Title [..].m3u"}));
  EXPECT_TRUE(server_->request_log().empty());
  EXPECT_EQ(shown(), kError +
                         "These names from the database cannot be names in the folder and were not "
                         "used:\n'..' (it names a folder, not a file in it)\n" +
                         kDone);
}

// The cover is written only after the journal that lets the run be taken
// back: when the journal cannot be written, nothing is, the cover neither.
TEST_F(FinishWithCover, NoCoverIsWrittenBeforeTheJournal) {
  serve({});
  const std::string a = add_file("a.mp3", 0, 1);
  std::filesystem::remove_all(journal_folder());
  std::filesystem::create_directories(std::filesystem::path(journal_folder()).parent_path());
  write_file(journal_folder(), "a file where the journal's folder would be");
  finish();
  std::filesystem::remove(journal_folder());
  EXPECT_EQ(entries(album_), Names({"a.mp3"}));
  EXPECT_TRUE(read_file(album_ + "/a.mp3") == a);
  EXPECT_THAT(shown(), ::testing::StartsWith(kError + "Could not write the journal"));
  EXPECT_THAT(shown(), ::testing::HasSubstr("No file was changed."));
}

// A front end that takes the journal away when the first box shows, as a
// full or failing disk would keep its result from being written.
class JournalGoesAtFirstBox : public test_support::RecordingFrontEnd {
 public:
  int message_box(platform::Window *owner, const std::string &text, const std::string &caption,
                  unsigned style) override {
    std::filesystem::remove_all(journal_folder());
    return RecordingFrontEnd::message_box(owner, text, caption, style);
  }
};

// A cover that cannot be written and a journal whose result cannot be
// written are each said, and "Done!" does not say that all went well.
TEST_F(FinishWithCover, ACoverOrJournalThatCannotBeWrittenIsSaidAndDoneSaysSo) {
  serve({});
  // A name too long for the folder; the server answers without the query.
  g_releases[0].picture_url += "?" + std::string(300, 'x');
  add_file("a.mp3", 0, 1);
  add_file("b.mp3", 0, 2);  // its new name is taken: a box while the run goes on
  JournalGoesAtFirstBox front_end;
  finish();
  const std::vector<std::string> texts = front_end.texts();
  ASSERT_EQ(texts.size(), 4u) << ::testing::PrintToString(texts);
  EXPECT_EQ(texts[0], "Could not write the cover 'R-100101.jpg?" + std::string(300, 'x') +
                          "': File name too long");
  EXPECT_THAT(texts[1], ::testing::StartsWith("An error:'File exists'"));
  EXPECT_EQ(texts[2],
            "Could not write how this run ended into its journal: No such file or directory. It "
            "can still be taken back.");
  EXPECT_THAT(texts[3], ::testing::StartsWith("Done, but not everything went well: see the "
                                              "messages before this one.\nThe folder is now "));
}

// A symbolic link in the album to a file outside it, under a track's, the
// playlist's or the cover's name: the file it points to is neither changed
// nor read into a tag, the link stays, and one box names it.
class FinishWithALink : public FinishWithCover,
                        public ::testing::WithParamInterface<const char *> {};

TEST_P(FinishWithALink, LeavesTheLinkAndWhatItPointsToAlone) {
  serve({"--fault", "status-404", "--fault-path", "/R/"});  // no other picture to attach
  const std::string name = GetParam();
  const std::string outside = test_support::untagged_mp3(9);
  write_file(file("outside.mp3"), outside);
  std::filesystem::create_symlink("../outside.mp3", album_ + "/" + name);
  if (name == "a.mp3") assign(name, 0);
  add_file("b.mp3", 1, 2);
  finish();
  const std::string album = renamed_album();
  EXPECT_TRUE(read_file(file("outside.mp3")) == outside);
  EXPECT_TRUE(std::filesystem::is_symlink(album + "/" + name));
  EXPECT_EQ(one(read_frames(album + "/2 - X - Two.mp3"), "APIC"), "<missing>");
  EXPECT_EQ(shown(),
            kError + "These were left alone, as they are symbolic links or not regular files:\n'" +
                name + "'\n" + kDone);
}

INSTANTIATE_TEST_SUITE_P(TrackPlaylistAndCover, FinishWithALink,
                         ::testing::Values("a.mp3", "Artist - Title [CAT1].m3u", "R-100101.jpg"),
                         [](const auto &info) { return std::to_string(info.index); });

// Another run holds the folder: this one says so and changes nothing.
TEST_F(Finish, AFolderAnotherRunIsWorkingOnIsLeftToIt) {
  const std::string a = add_file("a.mp3", 0, 1);
  const int other_run = ::open(album_.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(::flock(other_run, LOCK_EX), 0);
  finish();
  ::close(other_run);
  EXPECT_EQ(entries(album_), Names({"a.mp3"}));
  EXPECT_TRUE(read_file(album_ + "/a.mp3") == a);
  EXPECT_EQ(shown(), kError + "Another run of the program is working on the folder " + album_ +
                         ", so nothing was changed.\n");
}

}  // namespace
