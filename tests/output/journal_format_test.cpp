#include "output/journal_format.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "output/journal.h"

namespace {

Journal two_file_run() {
  Journal journal;
  journal.time = 1765098900;
  journal.folder_before = "/music/Harbour_Lights - Night Ferry";
  journal.folder_after = "/music/[HL 007] Harbour Lights - Night Ferry";
  JournalFile tagged;
  tagged.old_name = "01 - Salt Road.mp3";
  tagged.new_name = "01 - Harbour Lights - Salt Road.mp3";
  tagged.audio_hash = content_hash("audio 1");
  tagged.old_v2 = std::string("ID3\x03\x00\x00\x00\x00\x00\x04", 10) + std::string(4, '\0');
  tagged.old_v1 = "TAG" + std::string(125, '\xE9');
  JournalFile bare = tagged;
  bare.old_name = "02 Night\x81" "3042;Ferry.mp3";
  bare.new_name = "02 - Harbour Lights - Night Ferry.mp3";
  bare.old_v2.clear();
  bare.old_v1.clear();
  journal.files = {tagged, bare};
  return journal;
}

std::string whole_text(const Journal& journal) {
  const std::string plan = journal_plan_text(journal);
  const std::string result = plan + journal_result_text(plan, journal);
  return result + journal_undone_text(result, 1765099000);
}

TEST(JournalFormat, WhatIsWrittenIsReadBackExactly) {
  Journal written = two_file_run();
  written.files[0].moved = true;
  written.files[0].tags_hash = content_hash("new tags");
  written.folder_moved = true;
  written.created = {{"R-100101.jpg", content_hash("jpeg")}};
  Journal read;
  std::string why;
  ASSERT_TRUE(parse_journal(whole_text(written), read, why)) << why;
  EXPECT_EQ(read.folder_before, written.folder_before);
  EXPECT_EQ(read.folder_after, written.folder_after);
  ASSERT_EQ(read.files.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(read.files[i].old_name, written.files[i].old_name);
    EXPECT_EQ(read.files[i].new_name, written.files[i].new_name);
    EXPECT_EQ(read.files[i].audio_hash, written.files[i].audio_hash);
    EXPECT_TRUE(read.files[i].old_v2 == written.files[i].old_v2);
    EXPECT_TRUE(read.files[i].old_v1 == written.files[i].old_v1);
    EXPECT_EQ(read.files[i].moved, written.files[i].moved);
    EXPECT_EQ(read.files[i].tags_hash, written.files[i].tags_hash);
  }
  EXPECT_TRUE(read.result_known && read.folder_moved && read.undone);
  EXPECT_EQ(read.undone_time, 1765099000);
  ASSERT_EQ(read.created.size(), 1u);
  EXPECT_EQ(read.created[0].name, "R-100101.jpg");
  // Interrupted before its result: still a journal, with the plan only.
  ASSERT_TRUE(parse_journal(journal_plan_text(two_file_run()), read, why)) << why;
  EXPECT_FALSE(read.result_known);
}

// Damaged, hand-edited (even with the check made anew) or naming a file
// outside its folder: refused, with the reason.
TEST(JournalFormat, ADamagedEditedOrEscapingJournalIsRefused) {
  const std::string good = whole_text(two_file_run());
  const struct {
    const char* what;
    std::function<std::string()> text;
    const char* reason;
  } cases[] = {
      {"a byte changed", [&] { std::string t = good; t[t.find("file ") + 7] ^= 1; return t; },
       "check does not match"},
      {"cut short", [&] { return good.substr(0, good.size() - 3); }, "last line is cut"},
      {"no check", [&] { return good.substr(0, good.find("check")); }, "ends before its check"},
      {"another program's file", [] { return std::string("journal\n"); }, "not a journal"},
      {"a line added", [&] { std::string t = journal_plan_text(two_file_run());
         return t.substr(0, t.find("check")) + "delete /\ncheck 0\n"; }, "does not write"},
      {"a name with a slash", [] { Journal j = two_file_run(); j.files[1].new_name = "../x.mp3";
         return journal_plan_text(j); }, "outside its folder"},
      {"a name that is ..", [] { Journal j = two_file_run(); j.files[0].old_name = "..";
         return journal_plan_text(j); }, "outside its folder"},
      {"a folder moved elsewhere", [] { Journal j = two_file_run(); j.folder_after = "/etc/x";
         return journal_plan_text(j); }, "one folder renamed in its place"},
      {"a relative folder", [] { Journal j = two_file_run(); j.folder_before = "music/x";
         return journal_plan_text(j); }, "one folder renamed in its place"},
      {"a created file elsewhere", [] { Journal j = two_file_run(); j.created = {{"/etc/passwd",
         content_hash("")}}; const std::string plan = journal_plan_text(j);
         return plan + journal_result_text(plan, j); }, "outside its folder"},
      {"an old tag that is no tag", [] { Journal j = two_file_run(); j.files[0].old_v1 = "x";
         return journal_plan_text(j); }, "not a tag"},
  };
  for (const auto& c : cases) {
    Journal journal;
    std::string why;
    EXPECT_FALSE(parse_journal(c.text(), journal, why)) << c.what;
    EXPECT_NE(why.find(c.reason), std::string::npos) << c.what << ": " << why;
  }
}

}  // namespace

namespace {

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
  for (int day = 1; day <= 28; ++day) {
    for (int hour = 0; hour < 8; ++hour) {
      char name[64];
      std::snprintf(name, sizeof name, "202611%02d-%02d0000-Album.journal", day, hour);
      make(name);
    }
  }
  make("notes.txt");
  make("2020-old.journal");
  prune_journals(december_2026);
  const std::vector<std::string> kept = journal_paths();
  ASSERT_EQ(kept.size(), 200u);
  EXPECT_NE(kept.front().find("20261130-000000"), std::string::npos);
  EXPECT_NE(kept.back().find("20261104-010000"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(folder + "/notes.txt"));
  EXPECT_TRUE(std::filesystem::exists(folder + "/2020-old.journal"));
  std::filesystem::remove_all(folder);
}

}  // namespace
