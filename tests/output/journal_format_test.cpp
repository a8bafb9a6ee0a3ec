#include "output/journal/journal_format.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "output/journal/journal.h"

namespace {

Journal two_file_run() {
  Journal journal;
  journal.time = 1765098900;
  journal.folder_before = "/music/Harbour_Lights - Night Ferry";
  journal.folder_after = "/music/[HL 007] Harbour Lights - Night Ferry";
  // Octal \201 is the lead byte 0x81 of the code page's escape.
  journal.files = {
      {"01 - Salt Road.mp3", "01 - Harbour Lights - Salt Road.mp3", content_hash("audio 1"),
       std::string("ID3\x03\x00\x00\x00\x00\x00\x04", 10) + std::string(4, '\0'),
       "TAG" + std::string(125, '\xE9'), false, false, ""},
      {"02 Night\2013042;Ferry.mp3", "02 - Harbour Lights - Night Ferry.mp3",
       content_hash("audio 1"), "", "", false, false, ""}};
  return journal;
}

std::string whole_text(const Journal& journal) {
  const std::string plan = journal_plan_text(journal);
  const std::string result = plan + journal_result_text(plan, journal);
  return result + journal_undone_text(result, 1765099000);
}

TEST(JournalFormat, WhatIsWrittenIsReadBackExactly) {
  Journal written = two_file_run();
  // Names a user's files may have: a TAB, a C1 control.
  written.files[0].old_name =
      "01\tSalt\x81"
      "85;Road.mp3";
  written.files[0].moved = true;
  written.files[0].tags_hash = content_hash("new tags");
  written.folder_before = "/music/Harbour\tLights";
  written.has_folder_id = true;
  written.folder_device = 66306;
  written.folder_inode = 18446744073709551615ULL;
  written.writes = {{"R-100101.jpg", content_hash("jpeg"), false, ""},
                    {"Night Ferry.m3u", content_hash("list"), true, "my own list"},
                    {"Empty.m3u", content_hash("list"), true, ""}};
  written.folder_moved = true;
  written.created = {{"R-100101.jpg", content_hash("jpeg")}};
  Journal read;
  std::string why;
  ASSERT_TRUE(parse_journal(whole_text(written), read, why)) << why;
  // Each record of the plan, written again from what was read, is the same line.
  EXPECT_EQ(journal_plan_text(read), journal_plan_text(written));
  ASSERT_EQ(read.writes.size(), 3u);
  EXPECT_EQ(read.writes[2].had_old, true) << "an empty file that was there";
  ASSERT_EQ(read.files.size(), 2u);
  EXPECT_TRUE(read.files[0].moved);
  EXPECT_FALSE(read.files[1].moved);
  EXPECT_EQ(read.files[0].tags_hash, written.files[0].tags_hash);
  ASSERT_EQ(read.created.size(), 1u);
  EXPECT_EQ(read.created[0].name, "R-100101.jpg");
  EXPECT_EQ(read.created[0].content_hash, content_hash("jpeg"));
  EXPECT_TRUE(read.result_known);
  EXPECT_TRUE(read.folder_moved);
  EXPECT_EQ(read.undone_time, 1765099000);
}

// The journals earlier versions wrote, still on users' disks, are read.
TEST(JournalFormat, JournalsOfTheFirstVersionAreRead) {
  for (const char* name : {"plan.journal", "undone.journal"}) {
    std::ifstream in(std::string(PLINTH_SOURCE_DIR) + "/tests/fuzz/seeds/journal/" + name,
                     std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Journal read;
    std::string why;
    ASSERT_TRUE(parse_journal(text, read, why)) << name << ": " << why;
    EXPECT_EQ(read.version, 1) << name;
    EXPECT_EQ(read.files.size(), 2u) << name;
    EXPECT_FALSE(read.has_folder_id) << name;
  }
}

// Damaged, hand-edited (even with the check made anew) or naming a file
// outside its folder: refused, with the reason.
TEST(JournalFormat, ADamagedEditedOrEscapingJournalIsRefused) {
  const std::string good = whole_text(two_file_run());
  std::string flipped = good;
  flipped[flipped.find("file ") + 7] ^= 1;
  const std::string plan = journal_plan_text(two_file_run());
  // The plan and result of the run with one field changed.
  const auto edited = [](void (*edit)(Journal&)) {
    Journal j = two_file_run();
    edit(j);
    const std::string plan = journal_plan_text(j);
    return plan + journal_result_text(plan, j);
  };
  const struct {
    const char* what;
    std::string text;
    const char* reason;
  } cases[] = {
      {"a byte changed", flipped, "check does not match"},
      {"cut short", good.substr(0, good.size() - 3), "last line is cut"},
      {"no check", good.substr(0, good.find("check")), "ends before its check"},
      {"another program's file", "journal\n", "not a journal"},
      {"a line added", plan.substr(0, plan.find("check")) + "delete /\ncheck 0\n",
       "does not write"},
      {"a name with a slash", edited([](Journal& j) { j.files[1].new_name = "../x.mp3"; }),
       "outside its folder"},
      {"a name that is ..", edited([](Journal& j) { j.files[0].old_name = ".."; }),
       "outside its folder"},
      {"a folder moved elsewhere", edited([](Journal& j) { j.folder_after = "/etc/x"; }),
       "one folder renamed in its place"},
      {"a relative folder", edited([](Journal& j) { j.folder_before = "music/x"; }),
       "one folder renamed in its place"},
      {"a created file elsewhere", edited([](Journal& j) {
         j.created = {{"/etc/passwd", content_hash("")}};
       }),
       "outside its folder"},
      {"a written file under a name Finish! would refuse", edited([](Journal& j) {
         j.writes = {{"list\x1b.m3u", content_hash(""), false, ""}};
       }),
       "outside its folder"},
      {"an old tag that is no tag", edited([](Journal& j) { j.files[0].old_v1 = "x"; }),
       "not a tag"},
      {"a hash one digit short", edited([](Journal& j) { j.files[0].audio_hash.pop_back(); }),
       "not written as it should be"},
      {"a time of 19 digits", edited([](Journal& j) { j.time = INT64_MAX; }), "does not write"},
      {"a written file's hash cut", plan.substr(0, plan.find("check")) + "writes 782e6d3375 ab -\n",
       "a written file's record is not written"},
      {"a result of no file", plan + "result 7 1 -\n", "a result is not written"},
      {"a line no result holds", plan + "moved 1\n", "does not write"},
      {"an undone time that is no number", good + "undone soon\n", "does not write"},
  };
  for (const auto& c : cases) {
    Journal journal;
    std::string why;
    EXPECT_FALSE(parse_journal(c.text, journal, why)) << c.what;
    EXPECT_THAT(why, ::testing::HasSubstr(c.reason)) << c.what;
  }
}

// Newest first, also within one second: the attempt number a later name got
// counts, and a folder named by digits is no attempt number.
TEST(JournalStore, NamesOfOneSecondAreOrderedByTheirAttempt) {
  std::vector<std::string> names = {
      "20261207-220000-1999.journal",    "20261207-220000-Album-1.journal",
      "20261207-215959-Album-2.journal", "20261207-220000-1999-1.journal",
      "20261207-220000-Album.journal",   "20261207-220000-Album-10.journal"};
  sort_newest_first(names, ".journal");
  EXPECT_THAT(names, ::testing::ElementsAre(
                         "20261207-220000-Album-10.journal", "20261207-220000-Album-1.journal",
                         "20261207-220000-Album.journal", "20261207-220000-1999-1.journal",
                         "20261207-220000-1999.journal", "20261207-215959-Album-2.journal"));
}

// At the start of a run: journals past 90 days or beyond the 200 newest go,
// and nothing else in the folder does.
TEST(JournalStore, PruningKeepsTheNewestAndTouchesNothingElse) {
  const std::string folder = std::string(std::getenv("XDG_STATE_HOME")) + "/plinth/journal";
  std::filesystem::create_directories(folder);
  const auto make = [&](const std::string& name) { std::ofstream(folder + "/" + name) << "x"; };
  const int64_t december_2026 = 1796083200;
  make("20200101-000000-Old Album.journal");
  make("20261130-000000-Album.journal");
  prune_journals(december_2026);
  ASSERT_EQ(journal_paths().size(), 1u);
  char name[64];
  for (int n = 0; n < 28 * 8; ++n) {  // eight a day in November
    std::snprintf(name, sizeof name, "202611%02d-%02d0000-Album.journal", n / 8 + 1, n % 8);
    make(name);
  }
  make("notes.txt");
  make("2020-old, not ours.journal");
  // A library run's journal beyond the 200 newest stays with its run.
  const std::string of_a_batch = folder + "/20261101-000000-Album.journal";
  prune_journals(december_2026, {of_a_batch});
  const std::vector<std::string> kept = journal_paths();
  ASSERT_EQ(kept.size(), 201u);
  EXPECT_THAT(kept.front(), ::testing::HasSubstr("20261130-000000"));
  EXPECT_THAT(kept[199], ::testing::HasSubstr("20261104-010000"));
  EXPECT_EQ(kept.back(), of_a_batch);
  EXPECT_TRUE(std::filesystem::exists(folder + "/notes.txt"));
  EXPECT_TRUE(std::filesystem::exists(folder + "/2020-old, not ours.journal"));
  std::filesystem::remove_all(folder);
}

}  // namespace
