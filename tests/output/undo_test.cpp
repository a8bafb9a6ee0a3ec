// Taking runs back from small journals written here: a folder as Finish!
// left it, the journal it wrote, and what --undo makes of both.
#include "output/journal/undo.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "output/journal/journal_format.h"
#include "platform/codepage.h"
#include "platform/files/album_entries.h"
#include "platform/files/folders.h"
#include "tests/output/in_temp_folder.h"
#include "tests/support/mp3_files.h"

namespace {

namespace fs = std::filesystem;
using test_support::read_file;
using test_support::write_file;
using ::testing::Contains;
using ::testing::HasSubstr;

// Every file below a folder and its bytes, by path relative to it.
using Tree = std::map<std::string, std::string>;

Tree tree_of(const std::string& folder) {
  Tree tree;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file() && !entry.is_symlink()) {
      tree[fs::relative(entry.path(), folder).string()] = read_file(entry.path().string());
    }
  }
  return tree;
}

// Audio longer than the 64 KiB that the audio's hash reads at a time.
std::string audio_of(unsigned seed) {
  std::string audio;
  for (int copy = 0; copy < 5; ++copy) audio += test_support::untagged_mp3(seed);
  return audio;
}

std::string title_tag(const std::string& title) {
  return test_support::raw_id3v23({{"TIT2", std::string(1, '\0') + title}});
}

// A run on "Album Before" that left it as "Album After", written as Finish!
// writes its journal.
class UndoRun : public output_test::InTempFolder {
 protected:
  void SetUp() override {
    InTempFolder::SetUp();
    journals_ = std::string(std::getenv("XDG_STATE_HOME")) + "/plinth/journal";
    fs::remove_all(journals_);
    fs::create_directories(journals_);
    before_ = file("Album Before");
    after_ = file("Album After");
    fs::create_directory(after_);
    platform::FolderIdentity identity;
    ASSERT_TRUE(platform::folder_identity(after_, identity));
    journal_.time = 1796083200;
    journal_.folder_before = before_;
    journal_.folder_after = after_;
    journal_.has_folder_id = true;
    journal_.folder_device = identity.device;
    journal_.folder_inode = identity.inode;
    journal_.folder_moved = true;
  }
  void TearDown() override {
    fs::remove_all(journals_);
    InTempFolder::TearDown();
  }

  // A file the run tagged "New" and renamed, unless `moved` is false;
  // `seed` picks its audio. Names are the program's text.
  void add(const std::string& old_name, const std::string& new_name, unsigned seed,
           bool moved = true) {
    const std::string audio = audio_of(seed);
    const std::string old_tag = title_tag("Old " + std::to_string(seed));
    JournalFile record;
    record.old_name = old_name;
    record.new_name = new_name;
    record.audio_hash = content_hash(audio);
    record.old_v2 = old_tag;
    record.moved = moved;
    record.tags_hash = content_hash(title_tag("New"));
    journal_.files.push_back(record);
    write_file(after_ + "/" + platform::fs_name(moved ? new_name : old_name),
               title_tag("New") + audio);
    expected_[platform::fs_name(old_name)] = old_tag + audio;
  }

  // A file the run wrote whole over `old` (none when null).
  void add_written(const std::string& name, const std::string& content, const char* old) {
    JournalWrite write{name, content_hash(content), old != nullptr, old ? old : ""};
    journal_.writes.push_back(write);
    journal_.created.push_back({name, content_hash(content)});
    write_file(after_ + "/" + name, content);
    if (old != nullptr) expected_[name] = old;
  }

  // The journal as Finish! leaves it, or cut short before its result.
  void write_journal(bool with_result = true) {
    std::string text = journal_plan_text(journal_);
    if (with_result) text += journal_result_text(text, journal_);
    write_file(journals_ + "/20261201-000000-Album After.journal", text);
  }

  // The album as it was before the run, file by file.
  void expect_as_before(const std::string& folder) {
    const Tree now = tree_of(folder);
    for (const auto& file : expected_) {
      const auto found = now.find(file.first);
      if (found == now.end()) {
        ADD_FAILURE() << "missing: " << file.first;
      } else {
        EXPECT_TRUE(found->second == file.second) << "other bytes: " << file.first;
      }
    }
    for (const auto& file : now) {
      EXPECT_EQ(expected_.count(file.first), 1u) << "not there before: " << file.first;
    }
  }

  std::string journal_text() const {
    return read_file(journals_ + "/20261201-000000-Album After.journal");
  }

  std::string journals_, before_, after_;
  Journal journal_;
  Tree expected_;  // the album as it was before the run
};

// The kinds of test, each a suite.
using UndoJournalInput = UndoRun;
using UndoNames = UndoRun;
using UndoConcurrency = UndoRun;
using UndoMessages = UndoRun;

// --- journal input --------------------------------------------------------

// A name that leads out of the folder once the code page's escapes are
// decoded (0x8D and two digits stand for a byte, 0x81, digits and ';' for a
// character) makes the whole journal refused before anything changes.
TEST_F(UndoJournalInput, AJournalNamingAnythingOutsideInAnyEncodingIsRefusedWhole) {
  const struct {
    const char* name;
    void (*edit)(Journal&, const std::string& parent);
  } cases[] = {
      {"an old name with an escaped byte slash",
       [](Journal& j, const std::string&) {
         j.files[0].old_name =
             "..\x8D"
             "2Fvictim.mp3";
       }},
      {"a new name with an escaped character slash",
       [](Journal& j, const std::string&) {
         j.files[0].new_name =
             "..\x81"
             "2f;victim.mp3";
         j.files[0].moved = false;
       }},
      {"a created file with an escaped slash",
       [](Journal& j, const std::string&) {
         j.created = {
             {"..\x8D"
              "2Fvictim.mp3",
              content_hash("x")}};
       }},
      {"a written file with an escaped slash",
       [](Journal& j, const std::string&) {
         j.writes = {
             {"..\x81"
              "2f;victim.mp3",
              content_hash("x"), true, "forged"}};
       }},
      {"a folder that climbs out behind escapes",
       [](Journal& j, const std::string& parent) {
         j.folder_before = parent +
                           "/x\x8D"
                           "2F..\x8D"
                           "2F..\x8D"
                           "2Fvictim";
       }},
      {"a name that is a zero byte escaped",
       [](Journal& j, const std::string&) {
         j.files[0].old_name =
             "a\x8D"
             "00.mp3";
       }},
  };
  add("01 Mine.mp3", "01 - New.mp3", 1);
  write_file(file("victim.mp3"), "outside");
  const Journal good = journal_;
  for (const auto& c : cases) {
    journal_ = good;
    c.edit(journal_, dir_.path());
    write_journal();
    const Tree everything = tree_of(dir_.path());
    const UndoReport report = undo_last_run(after_);
    EXPECT_FALSE(report.complete) << c.name;
    EXPECT_THAT(report.lines, Contains(HasSubstr("is damaged or was edited"))) << c.name;
    EXPECT_EQ(tree_of(dir_.path()), everything) << c.name;
    EXPECT_TRUE(fs::exists(after_)) << c.name;
  }
}

// Cut short between its plan and its result, the run is still taken back
// whole from the plan, cover and playlist included; afterwards the journal
// says so to --history and to a second --undo.
TEST_F(UndoJournalInput, ARunCutShortIsTakenBackFromItsPlanAndThenCountsAsTakenBack) {
  add("01 Mine.mp3", "01 - New.mp3", 1);
  add("02 Mine.mp3", "02 - New.mp3", 2, false);  // not reached before the kill
  add_written("R-1.jpg", "picture", nullptr);
  add_written("Album.m3u", "#EXTM3U\r\n", "my own list");
  journal_.created.clear();
  write_journal(false);

  const UndoReport report = undo_last_run(after_);
  EXPECT_TRUE(report.complete) << ::testing::PrintToString(report.lines);
  expect_as_before(before_);
  EXPECT_THAT(run_history(before_), Contains(HasSubstr("(taken back")));
  const UndoReport again = undo_last_run(before_);
  EXPECT_THAT(again.lines, Contains(HasSubstr("was already taken back")));
}

// Two runs on one folder: --undo takes back the later, then, under the
// name that gives the folder, the earlier one.
TEST_F(UndoJournalInput, TheLaterRunGoesBackFirstThenTheEarlier) {
  add("01 Mine.mp3", "01 - New.mp3", 1);
  write_journal();
  fs::rename(journals_ + "/20261201-000000-Album After.journal",
             journals_ + "/20261130-000000-Album After.journal");
  const Journal first = journal_;
  journal_.folder_before = after_;
  journal_.folder_after = file("Album Later");
  journal_.files[0].old_name = "01 - New.mp3";
  journal_.files[0].new_name = "01 - Later.mp3";
  journal_.files[0].old_v2 = title_tag("New");
  fs::rename(after_ + "/01 - New.mp3", after_ + "/01 - Later.mp3");
  fs::rename(after_, journal_.folder_after);
  write_journal();

  EXPECT_TRUE(undo_last_run(journal_.folder_after).complete);
  const UndoReport earlier = undo_last_run(after_);
  EXPECT_TRUE(earlier.complete) << ::testing::PrintToString(earlier.lines);
  expect_as_before(first.folder_before);
}

// --- names -----------------------------------------------------------------

// Finish! renames away from any name a folder can hold; --undo gives each
// back, the folder's too.
TEST_F(UndoNames, EveryNameAFileOrFolderHadComesBack) {
  const struct {
    const char* what;
    std::string name;  // the program's text
  } cases[] = {
      {"a TAB", "01\tTab.mp3"},
      {"an ESC", "02\x1b[31mRed.mp3"},
      {"a C1 control (NEL)",
       "03\x81"
       "85;Next.mp3"},
      {"a C1 control (CSI)",
       "04\x81"
       "9b;Csi.mp3"},
      {"a byte that is not UTF-8",
       "05\x8D"
       "ffRaw.mp3"},
      {"DEL",
       "06\x7f"
       "Del.mp3"},
  };
  unsigned seed = 0;
  for (const auto& c : cases) {
    ++seed;
    add(c.name, "0" + std::to_string(seed) + " - New.mp3", seed);
  }
  journal_.folder_before = file("Album\tBefore");
  before_ = journal_.folder_before;
  write_journal();

  const UndoReport report = undo_last_run(after_);
  EXPECT_TRUE(report.complete) << ::testing::PrintToString(report.lines);
  ASSERT_TRUE(fs::exists(before_));
  expect_as_before(before_);
  EXPECT_THAT(journal_text(), HasSubstr("\nundone "));
}

// Two copies of one track, both matched to it: one got the name, the other
// kept its own. Each gets back its own tags and name, though their audio
// is the same and their planned name was one.
TEST_F(UndoNames, FilesSharingTheirAudioAndTheirPlannedNameEachGetTheirOwnBack) {
  const std::string audio = audio_of(7);
  add("a.mp3", "07 - Gulls.mp3", 7);
  add("b.mp3", "07 - Gulls.mp3", 7, false);
  journal_.files[1].old_v2 = title_tag("Old b");
  expected_["b.mp3"] = title_tag("Old b") + audio;
  write_journal();

  const UndoReport report = undo_last_run(after_);
  EXPECT_TRUE(report.complete) << ::testing::PrintToString(report.lines);
  expect_as_before(before_);
}

// --- concurrency: what changed since the run ------------------------------

// The album went elsewhere and another folder took its name: that folder
// keeps its name, and nothing in it changes.
TEST_F(UndoConcurrency, AnotherFolderUnderTheRunsNameIsNotRenamed) {
  add("01 Mine.mp3", "01 - New.mp3", 1);
  write_journal();
  fs::rename(after_, file("Moved Away"));
  fs::create_directory(after_);
  write_file(after_ + "/01 - New.mp3", "someone else's");

  const UndoReport report = undo_last_run(after_);
  EXPECT_FALSE(report.complete);
  EXPECT_THAT(report.lines, Contains(HasSubstr("is not the one the run renamed")));
  EXPECT_TRUE(fs::exists(after_));
  EXPECT_FALSE(fs::exists(before_));
  EXPECT_EQ(read_file(after_ + "/01 - New.mp3"), "someone else's");
}

// A file that cannot get its name back now (a file of the user's took it)
// leaves the run not taken back; once the name is free, --undo again gives
// back the rest and only then marks the run.
TEST_F(UndoConcurrency, WhatCouldNotBeTakenBackCanBeTriedAgain) {
  add("01 Mine.mp3", "01 - New.mp3", 1);
  add("02 Mine.mp3", "02 - New.mp3", 2);
  write_journal();
  write_file(after_ + "/02 Mine.mp3", "in the way");

  const UndoReport first = undo_last_run(after_);
  EXPECT_FALSE(first.complete);
  EXPECT_THAT(first.lines, Contains(HasSubstr("could not get its old name '02 Mine.mp3'")));
  EXPECT_THAT(journal_text(), ::testing::Not(HasSubstr("\nundone ")));
  EXPECT_THAT(run_history(before_), Contains(::testing::Not(HasSubstr("taken back"))));

  fs::remove(before_ + "/02 Mine.mp3");
  const UndoReport second = undo_last_run(before_);
  EXPECT_TRUE(second.complete) << ::testing::PrintToString(second.lines);
  expect_as_before(before_);
  EXPECT_THAT(journal_text(), HasSubstr("\nundone "));
}

// A folder another run holds is left to it, the files as that run has them.
TEST_F(UndoConcurrency, AFolderAnotherRunHoldsIsLeftToIt) {
  add("01 Mine.mp3", "01 - New.mp3", 1);
  write_journal();
  ASSERT_TRUE(platform::set_current_folder(after_));
  const platform::FolderLock held;  // as the other run holds it
  const UndoReport report = undo_last_run(after_);
  EXPECT_FALSE(report.complete);
  EXPECT_THAT(report.lines, ::testing::ElementsAre("Another run of the program is working on the "
                                                   "folder " +
                                                   after_ + ", so nothing was changed."));
  EXPECT_TRUE(fs::exists(after_ + "/01 - New.mp3"));
}

// --- messages ----------------------------------------------------------------

// Each kind of step is taken back and said: tags and name, a created file,
// a file written over, the folder's name.
TEST_F(UndoMessages, EachKindOfStepIsTakenBackAndSaid) {
  add("01 Mine.mp3", "01 - New.mp3", 1);
  add_written("R-1.jpg", "picture", nullptr);
  add_written("Album.m3u", "#EXTM3U\r\n", "my own list");
  write_journal();
  // A newer journal of another folder, damaged, is no concern of this one.
  write_file(journals_ + "/20261202-000000-Other Album.journal", "damaged");

  const UndoReport report = undo_last_run(after_);
  EXPECT_TRUE(report.complete);
  EXPECT_THAT(report.lines,
              ::testing::ElementsAre("restored '01 - New.mp3' as '01 Mine.mp3'",
                                     "removed 'R-1.jpg'", "gave back its old content: 'Album.m3u'",
                                     "renamed the folder back to '" + before_ + "'"));
  expect_as_before(before_);
  EXPECT_THAT(
      run_history(""),
      Contains("damaged journal '" + journals_ +
               "/20261202-000000-Other Album.journal': it is not a journal of this program"));
}

// A file whose tags or audio changed since, or that was renamed, is left
// alone and named; the rest comes back.
TEST_F(UndoMessages, AFileChangedSinceIsLeftAloneAndNamed) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    add("0" + std::to_string(seed) + " Mine.mp3", "0" + std::to_string(seed) + " - New.mp3", seed);
  }
  add_written("R-1.jpg", "picture", nullptr);
  write_journal();
  fs::remove(after_ + "/R-1.jpg");
  fs::create_directory(after_ + "/R-1.jpg");  // no longer the file the run created
  write_file(after_ + "/01 - New.mp3", title_tag("Mine") + audio_of(1));
  fs::rename(after_ + "/02 - New.mp3", after_ + "/mine.mp3");
  write_file(after_ + "/03 - New.mp3", read_file(after_ + "/03 - New.mp3") + "more");

  const UndoReport report = undo_last_run(after_);
  EXPECT_FALSE(report.complete);
  EXPECT_THAT(report.lines,
              ::testing::ElementsAre("left alone: '01 - New.mp3': its tags were changed since",
                                     "left alone: '02 - New.mp3': it was renamed or removed since",
                                     "left alone: '03 - New.mp3': its audio has changed since",
                                     "restored '04 - New.mp3' as '04 Mine.mp3'",
                                     "left alone: 'R-1.jpg': it is not the file the run wrote",
                                     "renamed the folder back to '" + before_ + "'",
                                     HasSubstr("--undo again tries what is left")));
  EXPECT_TRUE(read_file(before_ + "/04 Mine.mp3") == expected_["04 Mine.mp3"]);
}

}  // namespace
