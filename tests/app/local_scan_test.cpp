#include "app/local_scan.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "output/tags/tag_reader.h"
#include "platform/codepage.h"
#include "tests/support/mp3_files.h"
#include "tests/support/temp_dir.h"

using test_support::read_file;
using test_support::untagged_mp3;
using test_support::write_file;

namespace {

LocalTrack read_path(const std::string& path) {
  LocalTrack track;
  read_local_tags(platform::name_from_fs(path), track);
  return track;
}

// The five fields read from a file's tags; the others stay empty.
struct Read {
  std::string artist, title, album, track_number, release_date;
};

void expect_read(const LocalTrack& track, const Read& want) {
  EXPECT_EQ(track.artist, want.artist);
  EXPECT_EQ(track.title, want.title);
  EXPECT_EQ(track.album, want.album);
  EXPECT_EQ(track.track_number, want.track_number);
  EXPECT_EQ(track.release_date, want.release_date);
  EXPECT_EQ(track.label, "");
  EXPECT_EQ(track.catalog_number, "");
  EXPECT_EQ(track.genre, "");
  EXPECT_EQ(track.style, "");
  EXPECT_EQ(track.comment, "");
}

const char kSeeds[] = PLINTH_SOURCE_DIR "/tests/fuzz/seeds/local_tags/";

}  // namespace

// What is read from tags of every version, encoding and writer.
TEST(LocalScan, ReadsTheFiveFieldsOfEveryKindOfTag) {
  // "Café € 日本": é and € are in the code page; the Japanese letters travel
  // as its escapes (octal \201 is their lead byte 0x81), as in file names.
  const std::string text = "TIT2=Caf\xC3\xA9 \xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC";
  const std::string read = "Caf\xE9 \x80 \20165e5;\201672c;";
  const struct {
    std::vector<std::string> fields;  // for make_mp3.py, or {seed file}
    Read expected;
  } cases[] = {
      {{"TPE1=Some Artist", "TIT2=Harbour Lights", "TALB=Some Title", "TRCK=3/12", "TYER=2005",
        "TPUB=A Label", "TCON=Rock", "COMM=a comment", "TXXX=CATALOGNUMBER|CAT 042"},
       {"Some Artist", "Harbour Lights", "Some Title", "3/12", "2005"}},
      {{"v22.mp3"}, {"\xC5rtist", "Title", "Album", "3/12", "1999"}},
      {{"v23_compressed.mp3"}, {"\xC5rtist", "Title", "Album", "3/12", "1999"}},
      {{"v24_utf8.mp3"}, {"\xC5rtist", "Title", "Album", "3/12", "1999"}},
      {{"v1.mp3"}, {"Artist", "Title", "Album", "7", "1999"}},
      // ID3v1 fills what ID3v2 lacks; ID3v1.0 has no track.
      {{"v23_and_v1.mp3"}, {"Artist", "Only the title", "Album", "", "2001"}},
      {{"v2=4", "enc=3", text, "TDRC=2005-03-01"}, {"", read, "", "", "2005-03-01"}},
      {{"v2=4", "enc=1", text}, {"", read, "", "", ""}},
      {{"v2=4", "enc=2", text}, {"", read, "", "", ""}},
      {{"v2=3", "enc=1", text}, {"", read, "", "", ""}},
      // Outside the Basic Multilingual Plane: one character, one escape
      // (octal \265 is the last byte 0xB5 of the character), first or not.
      {{"enc=1", "TIT2=\xF0\x9F\x8E\265b\xF0\x9F\x8E\265"},
       {"", "\2011f3b5;b\2011f3b5;", "", "", ""}},
      {{"TPE2=Band"}, {"Band", "", "", "", ""}},
      {{"TCOM=Composer", "TPE3=Conductor"}, {"Conductor", "", "", "", ""}},
      {{"TCOM=Composer"}, {"Composer", "", "", "", ""}},
      {{"v2=4", "TPE2=Band", "TPE1=Lead"}, {"Lead", "", "", "", ""}},
      // Several artists: one text joined by '/' in ID3v2.3, separate texts
      // in ID3v2.4 of which the first counts; ID3v2.3 keeps the year alone.
      {{"enc=1", "TPE1=First|Second", "TRCK=2/9", "TDRC=2001-02-03"},
       {"First/Second", "", "", "2/9", "2001"}},
      {{"v2=4", "enc=1", "TPE1=First|Second", "TDRC=2001-02-03"},
       {"First", "", "", "", "2001-02-03"}},
  };
  test_support::TempDir dir;
  std::vector<test_support::Mp3> files;
  for (size_t i = 0; i < std::size(cases); ++i) {
    if (cases[i].fields.size() > 1 || cases[i].fields[0].find('=') != std::string::npos)
      files.push_back({dir.file(std::to_string(i) + ".mp3"), cases[i].fields});
  }
  test_support::make_mp3s(files);
  for (size_t i = 0; i < std::size(cases); ++i) {
    const std::string& seed = cases[i].fields[0];
    const bool from_seed = seed.find('=') == std::string::npos;
    SCOPED_TRACE(::testing::PrintToString(cases[i].fields));
    expect_read(read_path(from_seed ? kSeeds + seed : dir.file(std::to_string(i) + ".mp3")),
                cases[i].expected);
  }
  // Taggers write Windows-1252 into "Latin-1" frames; the bytes stay.
  write_file(
      dir.file("1252.mp3"),
      std::string("ID3\x03\0\0\0\0\0\x11TPE1\0\0\0\x07\0\0\0Caf\xE9 \x80", 27) + untagged_mp3(1));
  EXPECT_EQ(read_path(dir.file("1252.mp3")).artist, "Caf\xE9 \x80");
  // The day and month of an ID3v2.3 TDAT frame are not part of the year.
  write_file(dir.file("tdat.mp3"),
             test_support::raw_id3v23(
                 {{"TYER", std::string("\0002001", 5)}, {"TDAT", std::string("\0000302", 5)}}) +
                 untagged_mp3(1));
  EXPECT_EQ(read_path(dir.file("tdat.mp3")).release_date, "2001");
  // Half of a surrogate pair, alone, is no character.
  write_file(dir.file("lone.mp3"),
             test_support::raw_id3v23({{"TIT2", std::string("\1\xFF\xFE\x3C\xD8"
                                                            "b",
                                                            7)}}) +
                 untagged_mp3(1));
  EXPECT_EQ(read_path(dir.file("lone.mp3")).title, "\201fffd;b");
}

TEST(LocalScan, DamagedTagsAndOtherFilesGiveAnEmptyRecordAndStayAsTheyWere) {
  test_support::TempDir dir;
  const std::string audio = untagged_mp3(1);
  const std::string good = read_file(std::string(kSeeds) + "v23_utf16.mp3");
  const std::vector<std::string> damaged = {
      "", "ID3", "TAG", std::string(5000, '\xFF'),
      std::string("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) + audio,  // claims 256 MB
      std::string("ID3\x03\x00\x00\x00\x00\x00\x20", 10) + "TPE1\xFF\xFF\xFF\xFF\x00\x00" + audio,
      std::string("ID3\x09\x00\x00\x00\x00\x00\x10", 10) + std::string(16, '\x01') + audio,
      // An encrypted frame is no text frame, whatever its id.
      std::string("ID3\x03\0\0\0\0\0\x11TPE1\0\0\0\x07\0\x40\x01secret", 27) + audio};
  for (size_t i = 0; i < damaged.size(); ++i) {
    write_file(dir.file("song.mp3"), damaged[i]);
    SCOPED_TRACE("damaged file " + std::to_string(i));
    expect_read(read_path(dir.file("song.mp3")), {});
  }
  // Every cut of a tagged file parses to something without harm.
  for (size_t cut = 0; cut < 200; cut += 3) {
    write_file(dir.file("cut.mp3"), good.substr(0, cut));
    read_path(dir.file("cut.mp3"));
  }
  std::filesystem::create_directory(dir.file("folder.mp3"));
  ASSERT_EQ(mkfifo(dir.file("pipe.mp3").c_str(), 0600), 0);
  for (const char* name : {"folder.mp3", "pipe.mp3", "missing.mp3"}) {
    SCOPED_TRACE(name);
    expect_read(read_path(dir.file(name)), {});
  }

  write_file(dir.file("song.mp3"), good);
  const auto before = std::filesystem::last_write_time(dir.file("song.mp3"));
  read_path(dir.file("song.mp3"));
  EXPECT_EQ(read_file(dir.file("song.mp3")), good);
  EXPECT_EQ(std::filesystem::last_write_time(dir.file("song.mp3")), before);
}
