#include "output/tags/tag_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <set>
#include <thread>

#include "output/tags/id3v1.h"
#include "tests/output/in_temp_folder.h"
#include "tests/output/mutagen_frames.h"
#include "tests/support/mp3_files.h"

using ::testing::HasSubstr;

namespace {

using output_test::expect_frames;
using output_test::Frames;
using output_test::one;
using output_test::read_frames;
using test_support::audio_bytes;
using test_support::read_file;
using test_support::untagged_mp3;
using test_support::write_file;

std::string jpeg(size_t size, char seed = 'a') {
  std::string bytes = "\xFF\xD8\xFF\xE0";
  for (size_t i = 0; bytes.size() + 2 < size; ++i) bytes += static_cast<char>(seed + i % 23);
  return bytes + "\xFF\xD9";
}

Release sample_release() {
  Release release;
  release.artist = "Release Artist";
  release.title = "The Album";
  release.label = "Label";
  release.catalog_number = "CAT 1";
  release.release_date = "12 Mar 1999";
  release.genre = "Rock";
  release.style = "Punk";
  release.track_artists = {"First Artist", "Second Artist"};
  release.track_names = {"Opening", "Second Song"};
  release.track_numbers = {"A1", "A2"};
  release.picture_url = "http://images.discogs.com/R/t/R-77.jpg";
  return release;
}

// The ID3v1 tag at the end of the file holds these fields.
void expect_id3v1(const std::string& file_bytes, const Id3v1Fields& want) {
  ASSERT_GE(file_bytes.size(), 128u);
  ASSERT_EQ(file_bytes.compare(file_bytes.size() - 128, 3, "TAG"), 0) << "no ID3v1 tag";
  const Id3v1Fields v1 = parse_id3v1(file_bytes.substr(file_bytes.size() - 128));
  EXPECT_EQ(v1.title, want.title);
  EXPECT_EQ(v1.artist, want.artist);
  EXPECT_EQ(v1.album, want.album);
  EXPECT_EQ(v1.year, want.year);
  EXPECT_EQ(v1.comment, want.comment);
  EXPECT_EQ(v1.track, want.track);
  EXPECT_EQ(v1.genre, want.genre);
}

// The one picture: its bytes, type (0 other, 3 front cover) and mime type.
void expect_picture(const Frames& frames, const std::string& bytes, int type,
                    const std::string& mime) {
  EXPECT_TRUE(one(frames, "APIC") == bytes) << "the picture's bytes differ";
  expect_frames(frames,
                {"APIC:mime=" + mime, "APIC:type=" + std::to_string(type), "APIC:description="});
}

// How many files the process has open.
long open_files() {
  return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                       std::filesystem::directory_iterator());
}

class TagWriter : public output_test::InTempFolder {
 protected:
  void SetUp() override {
    InTempFolder::SetUp();
    open_before_ = open_files();
  }
  // Every file the writer opened is closed again, some in the background.
  void TearDown() override {
    for (int i = 0; i < 200 && open_files() > open_before_; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(open_files(), open_before_);
    InTempFolder::TearDown();
  }
  long open_before_ = 0;

  // Writes an MP3 file (tools/make_mp3.py fields; none: untagged) and
  // returns its bytes.
  std::string make(const std::string& name, const std::vector<std::string>& fields = {}) {
    if (fields.empty()) {
      write_file(file(name), untagged_mp3(1));
    } else {
      test_support::make_mp3s({{file(name), fields}});
    }
    return read_file(file(name));
  }
  std::string from_seed(const std::string& name) {
    write_file(file(name), read_file(PLINTH_SOURCE_DIR "/tests/fuzz/seeds/local_tags/" + name));
    return read_file(file(name));
  }
};

TEST_F(TagWriter, AnotherReaderSeesEveryWrittenFrame) {
  const std::string before = make("song.mp3", {"TIT2=Old", "TPE1=Old Artist"});
  const std::string cover = jpeg(30000);
  write_file(file("R-77.jpg"), cover);

  write_tags("song.mp3", sample_release(), 1);

  const Frames frames = read_frames(file("song.mp3"));
  expect_frames(frames, {"version=2.3", "TPE1=Second Artist", "TALB=The Album", "TYER=1999",
                         "TCON=Punk", "TIT2=Second Song", "TRCK=2"});
  expect_picture(frames, cover, 0, "image/jpeg");
  EXPECT_EQ(frames.size(), 11u);
  const std::string after = read_file(file("song.mp3"));
  EXPECT_TRUE(audio_bytes(after) == audio_bytes(before));
  // The ID3v1 tag at the end carries the same values; 43 is Punk in its genre list.
  expect_id3v1(after, {"Second Song", "Second Artist", "The Album", "1999", "", 2, 43});
}

TEST_F(TagWriter, AFileWithoutTagsGetsBoth) {
  const std::string before = make("bare.mp3");
  write_tags("bare.mp3", sample_release(), 0);
  // No picture file: no picture.
  expect_frames(read_frames(file("bare.mp3")), {"TIT2=Opening", "TRCK=1", "APIC=<missing>"});
  const std::string after = read_file(file("bare.mp3"));
  EXPECT_TRUE(audio_bytes(after) == audio_bytes(before));
  expect_id3v1(after, {"Opening", "First Artist", "The Album", "1999", "", 1, 43});
}

TEST_F(TagWriter, FramesItDoesNotWriteAreKept) {
  write_file(file("song.mp3"),
             test_support::raw_id3v23({{"TPE2", std::string("\0Band", 5)},
                                       {"COMM", std::string("\0eng\0a note", 11)},
                                       {"TXXX", std::string("\0CATALOG\0XY-1", 13)},
                                       {"TBPM", std::string("\0"
                                                            "120",
                                                            4)},
                                       {"RVAD", std::string("\x03\x10\x01\x00\x02\x00", 6)},
                                       {"TRDA", std::string(1, '\0') + "0302"},
                                       {"TSIZ", std::string("\0"
                                                            "4096",
                                                            5)}}) +
                 untagged_mp3(1));
  write_tags("song.mp3", sample_release(), 0);
  const Frames frames = read_frames(file("song.mp3"));
  // Frames of ID3v2.3 that ID3v2.4 dropped stay too, byte for byte.
  const std::string written = read_file(file("song.mp3"));
  EXPECT_THAT(written, HasSubstr(std::string("RVAD\0\0\0\x06\0\0\x03\x10\x01\x00\x02\x00", 16)));
  EXPECT_THAT(written, HasSubstr(std::string("TRDA\0\0\0\x05\0\0\0", 11) + "0302"));
  // The track artist replaces the band.
  expect_frames(frames, {"TSIZ=4096", "COMM::eng=a note", "TXXX:CATALOG=XY-1", "TBPM=120",
                         "TPE2=<missing>", "TPE1=First Artist"});
}

TEST_F(TagWriter, AnId3v24FileKeepsAllButWhatTheWrittenFramesReplace) {
  const std::vector<std::string> v24 = {"v2=4",
                                        "enc=3",
                                        "TPE1=Old Artist",
                                        "TPE2=The Band",
                                        "TCOM=Composer",
                                        "COMM=kept comment",
                                        "TXXX=PRIVATE|value",
                                        "APIC=image/png|old picture",
                                        "TSOP=Artist, Old",
                                        "TDRL=2001-05-01",
                                        "EQU2=flat"};
  const std::string before = make("v24.mp3", v24);
  write_file(file("untouched.mp3"), before);
  const std::string cover = jpeg(5000);
  write_file(file("R-77.jpg"), cover);

  write_tags("v24.mp3", sample_release(), 0);
  Frames frames = read_frames(file("v24.mp3"));
  expect_frames(frames, {"version=2.3", "TPE1=First Artist", "TPE2=<missing>", "TCOM=<missing>",
                         "COMM::eng=kept comment", "TXXX:PRIVATE=value", "TSOP=Artist, Old",
                         "TDRL=2001-05-01"});
  expect_picture(frames, cover, 0, "image/jpeg");
  EXPECT_NE(one(frames, "EQU2"), "<missing>");
  EXPECT_TRUE(audio_bytes(read_file(file("v24.mp3"))) == audio_bytes(before));

  // Without a track artist and a picture, band, composer and cover stay.
  Release release = sample_release();
  release.track_artists = {"", ""};
  release.picture_url.clear();
  write_tags("untouched.mp3", release, 0);
  const Frames kept = read_frames(file("untouched.mp3"));
  expect_frames(kept, {"TPE1=Old Artist", "TPE2=The Band", "TCOM=Composer"});
  expect_picture(kept, "old picture", 3, "image/png");
}

TEST_F(TagWriter, EmptyTextsLeaveTheOldFrames) {
  make("song.mp3", {"TCON=Jazz", "TYER=1970", "TIT2=Old Title", "TALB=Old Album", "TRCK=7/9"});
  Release release = sample_release();
  release.style.clear();
  release.release_date.clear();
  release.title.clear();
  release.track_names = {"", ""};
  write_tags("song.mp3", release, -1);
  expect_frames(read_frames(file("song.mp3")),
                {"TCON=Jazz", "TYER=1970", "TIT2=Old Title", "TALB=Old Album", "TRCK=7/9"});
}

// A kept genre goes into ID3v1 by its number or its name.
TEST_F(TagWriter, AKeptGenreGivesTheId3v1Genre) {
  Release release = sample_release();
  release.style.clear();
  for (const auto& [genre, index] :
       std::vector<std::pair<std::string, int>>{{"0", 0}, {"17", 17}, {"Jazz", 8}, {"(9)", 9}}) {
    make("song.mp3", {"TCON=" + genre});
    write_tags("song.mp3", release, 0);
    const std::string after = read_file(file("song.mp3"));
    EXPECT_EQ(parse_id3v1(after.substr(after.size() - 128)).genre, index) << genre;
  }
}

TEST_F(TagWriter, TheYearComesFromTheDateOrIsTheDateItself) {
  for (const auto& [date, year] : std::vector<std::pair<std::string, std::string>>{
           {"12 Mar 1999", "1999"}, {"99", "1999"}, {"March", "March"}}) {
    make("song.mp3");
    Release release = sample_release();
    release.release_date = date;
    write_tags("song.mp3", release, 0);
    EXPECT_EQ(one(read_frames(file("song.mp3")), "TYER"), year) << date;
  }
}

TEST_F(TagWriter, TheTrackPositionIsWrittenInFull) {
  make("song.mp3");
  write_tags("song.mp3", sample_release(), 255);
  EXPECT_EQ(one(read_frames(file("song.mp3")), "TRCK"), "256");
  const std::string after = read_file(file("song.mp3"));
  EXPECT_EQ(parse_id3v1(after.substr(after.size() - 128)).track, 0);  // ID3v1 stops at 255
  write_tags("song.mp3", sample_release(), 256);
  EXPECT_EQ(one(read_frames(file("song.mp3")), "TRCK"), "257");
}

TEST_F(TagWriter, TextsInTheCodePageAndUtf16FramesStayReadable) {
  make("song.mp3", {"enc=1", "TIT1=Bj\xC3\xB6rk \xE2\x98\x83 \xE6\x97\xA5\xE6\x9C\xAC",
                    "TOPE=Sigur R\xC3\xB3s"});
  Release release = sample_release();
  release.track_names = {"Caf\xE9 \x80 5", "x"};  // Windows-1252: e acute, euro sign
  release.title = "Se\xF1or";
  write_tags("song.mp3", release, 0);
  expect_frames(read_frames(file("song.mp3")),
                {"TIT1=Bj\xC3\xB6rk \xE2\x98\x83 \xE6\x97\xA5\xE6\x9C\xAC", "TOPE=Sigur R\xC3\xB3s",
                 "TIT2=Caf\xC3\xA9 \xE2\x82\xAC 5", "TALB=Se\xC3\xB1or"});
  const std::string after = read_file(file("song.mp3"));
  EXPECT_EQ(parse_id3v1(after.substr(after.size() - 128)).title, "Caf\xE9 \x80 5");
}

TEST_F(TagWriter, ThePictureIsAttachedOnlyFromAFileThatHoldsSomething) {
  const std::string with_picture = make("song.mp3", {"APIC=image/png|old picture"});

  // No picture file at all
  write_tags("song.mp3", sample_release(), 0);
  expect_picture(read_frames(file("song.mp3")), "old picture", 3, "image/png");

  write_file(file("song.mp3"), with_picture);
  write_file(file("R-77.jpg"), "");  // an empty picture file
  write_tags("song.mp3", sample_release(), 0);
  expect_picture(read_frames(file("song.mp3")), "old picture", 3, "image/png");

  write_file(file("song.mp3"), with_picture);
  Release release = sample_release();
  release.picture_url = "abc";  // three characters: never attached
  write_file(file("The Album.jpg"), jpeg(100));
  write_tags("song.mp3", release, 0);
  expect_picture(read_frames(file("song.mp3")), "old picture", 3, "image/png");
}

TEST_F(TagWriter, OlderTagKindsAreReadAndKept) {
  from_seed("v22.mp3");
  Release release = sample_release();
  release.track_names = {"", ""};
  write_tags("v22.mp3", release, 0);
  expect_frames(read_frames(file("v22.mp3")), {"TIT2=Title", "TYER=1999", "TPE1=First Artist"});

  from_seed("v23_compressed.mp3");
  release.title.clear();
  write_tags("v23_compressed.mp3", release, 0);
  EXPECT_EQ(one(read_frames(file("v23_compressed.mp3")), "TALB"), "Album");

  make("v1.mp3", {"v2=0", "v1=V1 Title|V1 Artist|V1 Album|1985|v1 comment|4|8"});
  release.style.clear();
  write_tags("v1.mp3", release, -1);
  expect_frames(read_frames(file("v1.mp3")), {"TIT2=V1 Title", "TPE1=V1 Artist", "TCON=Jazz",
                                              "TALB=V1 Album", "TRCK=4", "COMM::eng=v1 comment"});
  expect_id3v1(read_file(file("v1.mp3")),
               {"V1 Title", "V1 Artist", "V1 Album", "1999", "v1 comment", 4, 8});
  // A band in ID3v2 is the artist already: ID3v1's does not join it.
  make("both.mp3", {"TPE2=The Band", "v1=V1 Title|V1 Artist|V1 Album|1985||4|8"});
  write_tags("both.mp3", release, -1);
  EXPECT_EQ(one(read_frames(file("both.mp3")), "TPE1"), "<missing>");
}

TEST_F(TagWriter, ADamagedOrMissingFileIsLeftAlone) {
  // A tag far longer than the file.
  const std::string broken = std::string("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) + untagged_mp3(1);
  write_file(file("broken.mp3"), broken);
  EXPECT_FALSE(write_tags("broken.mp3", sample_release(), 0).empty());
  EXPECT_TRUE(read_file(file("broken.mp3")) == broken);

  // A version this program does not know; a size that is not syncsafe.
  for (const char* head : {"ID3\x05\x00\x00\x00\x00\x00\x10", "ID3\x03\x00\x00\x00\x00\x00\x80"}) {
    const std::string unknown = std::string(head, 10) + std::string(16, 'x') + untagged_mp3(1);
    write_file(file("unknown.mp3"), unknown);
    EXPECT_FALSE(write_tags("unknown.mp3", sample_release(), 0).empty());
    EXPECT_TRUE(read_file(file("unknown.mp3")) == unknown);
  }

  EXPECT_FALSE(write_tags("missing.mp3", sample_release(), 0).empty());
  std::filesystem::create_directory(file("folder.mp3"));
  EXPECT_FALSE(write_tags("folder.mp3", sample_release(), 0).empty());
  EXPECT_FALSE(std::filesystem::exists(file("missing.mp3")));
}

TEST_F(TagWriter, ARewriteKeepsTheModeAndLeavesNothingBeside) {
  make("song.mp3");
  ASSERT_EQ(::chmod(file("song.mp3").c_str(), 0604), 0);
  EXPECT_EQ(write_tags("song.mp3", sample_release(), 0), "");
  struct stat info {};
  ASSERT_EQ(::stat(file("song.mp3").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0604u);
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    names.insert(entry.path().filename().string());
  }
  EXPECT_EQ(names, std::set<std::string>({"song.mp3"}));
}

ino_t inode_of(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0);
  return info.st_ino;
}

TEST_F(TagWriter, ALaterWriteThatFitsIsMadeInPlace) {
  const std::string before = make("song.mp3");
  write_file(file("R-77.jpg"), jpeg(20000, 'a'));
  write_tags("song.mp3", sample_release(), 0);
  const std::string first = read_file(file("song.mp3"));
  const ino_t inode = inode_of(file("song.mp3"));

  write_tags("song.mp3", sample_release(), 0);  // the same values: the same bytes
  EXPECT_TRUE(read_file(file("song.mp3")) == first);

  const std::string other_cover = jpeg(20000, 'k');
  write_file(file("R-77.jpg"), other_cover);
  write_tags("song.mp3", sample_release(), 0);
  const std::string second = read_file(file("song.mp3"));
  EXPECT_EQ(inode_of(file("song.mp3")), inode);
  EXPECT_EQ(second.size(), first.size());
  expect_picture(read_frames(file("song.mp3")), other_cover, 0, "image/jpeg");
  EXPECT_TRUE(audio_bytes(second) == audio_bytes(before));
}

}  // namespace
