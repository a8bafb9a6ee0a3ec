#include "output/tag_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "output/id3v1.h"
#include "tests/output/in_temp_folder.h"
#include "tests/output/tag_reader.h"
#include "tests/support/mp3_maker.h"

namespace {

using output_test::Frames;
using output_test::one;
using output_test::read_frames;
using test_support::audio_bytes;
using test_support::Id3Frame;
using test_support::Mp3Recipe;
using test_support::read_file;
using test_support::text_frame;
using test_support::TextEncoding;
using test_support::write_file;
using test_support::write_mp3;

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

Mp3Recipe v23_file(std::vector<Id3Frame> frames) {
  Mp3Recipe recipe;
  recipe.id3v2_version = 3;
  recipe.frames = std::move(frames);
  return recipe;
}

Id3Frame latin1(const std::string& id, const std::string& text) {
  return text_frame(id, text, TextEncoding::kLatin1);
}

std::string picture_value(const std::string& bytes, const std::string& mime = "image/jpeg",
                          int type = 0) {
  return mime + "|" + std::to_string(type) + "||" + bytes;
}

class TagWriter : public output_test::InTempFolder {
 protected:
  // Writes an MP3 file and returns its bytes.
  std::string make(const std::string& name, const Mp3Recipe& recipe) {
    write_mp3(file(name), recipe);
    return read_file(file(name));
  }
};

TEST_F(TagWriter, AnotherReaderSeesEveryWrittenFrame) {
  const std::string before =
      make("song.mp3", v23_file({latin1("TIT2", "Old"), latin1("TPE1", "Old Artist")}));
  const std::string cover = jpeg(30000);
  write_file(file("R-77.jpg"), cover);

  write_tags("song.mp3", sample_release(), 1);

  const Frames frames = read_frames(file("song.mp3"));
  EXPECT_EQ(one(frames, "version"), "2.3");
  EXPECT_EQ(one(frames, "TPE1"), "Second Artist");
  EXPECT_EQ(one(frames, "TALB"), "The Album");
  EXPECT_EQ(one(frames, "TYER"), "1999");
  EXPECT_EQ(one(frames, "TCON"), "Punk");
  EXPECT_EQ(one(frames, "TIT2"), "Second Song");
  EXPECT_EQ(one(frames, "TRCK"), "2");
  EXPECT_TRUE(one(frames, "APIC") == picture_value(cover));
  EXPECT_EQ(frames.size(), 8u);
  const std::string after = read_file(file("song.mp3"));
  EXPECT_TRUE(audio_bytes(after) == audio_bytes(before));

  // The ID3v1 tag at the end carries the same values.
  const Id3v1Fields v1 = parse_id3v1(after.substr(after.size() - 128));
  EXPECT_EQ(after.compare(after.size() - 128, 3, "TAG"), 0);
  EXPECT_EQ(v1.title, "Second Song");
  EXPECT_EQ(v1.artist, "Second Artist");
  EXPECT_EQ(v1.album, "The Album");
  EXPECT_EQ(v1.year, "1999");
  EXPECT_EQ(v1.track, 2);
  EXPECT_EQ(v1.genre, 43);  // Punk in the ID3v1 genre list
}

TEST_F(TagWriter, AFileWithoutTagsGetsBoth) {
  Mp3Recipe recipe;
  const std::string before = make("bare.mp3", recipe);
  write_tags("bare.mp3", sample_release(), 0);
  const Frames frames = read_frames(file("bare.mp3"));
  EXPECT_EQ(one(frames, "TIT2"), "Opening");
  EXPECT_EQ(one(frames, "TRCK"), "1");
  EXPECT_EQ(one(frames, "APIC"), "<missing>");  // no picture file
  const std::string after = read_file(file("bare.mp3"));
  EXPECT_TRUE(audio_bytes(after) == audio_bytes(before));
  EXPECT_EQ(after.compare(after.size() - 128, 3, "TAG"), 0);
}

TEST_F(TagWriter, FramesItDoesNotWriteAreKept) {
  make("song.mp3",
       v23_file({latin1("TPE2", "Band"), test_support::comment_frame("a note"),
                 test_support::user_text_frame("CATALOG", "XY-1"), latin1("TBPM", "120"),
                 Id3Frame{"RVAD", std::string("\x03\x10\x01\x00\x02\x00", 6), false},
                 latin1("TSIZ", "4096")}));
  write_tags("song.mp3", sample_release(), 0);
  const Frames frames = read_frames(file("song.mp3"));
  // Frames of ID3v2.3 that ID3v2.4 dropped stay too, byte for byte.
  const std::string written = read_file(file("song.mp3"));
  EXPECT_NE(written.find(std::string("RVAD\0\0\0\x06\0\0\x03\x10\x01\x00\x02\x00", 16)),
            std::string::npos);
  EXPECT_EQ(one(frames, "TSIZ"), "4096");
  EXPECT_EQ(one(frames, "COMM"), "eng||a note");
  EXPECT_EQ(one(frames, "TXXX"), "CATALOG|XY-1");
  EXPECT_EQ(one(frames, "TBPM"), "120");
  EXPECT_EQ(one(frames, "TPE2"), "<missing>");  // the artist replaces the band
  EXPECT_EQ(one(frames, "TPE1"), "First Artist");
}

TEST_F(TagWriter, AnId3v24FileKeepsAllButWhatTheWrittenFramesReplace) {
  Mp3Recipe recipe;
  recipe.id3v2_version = 4;
  recipe.frames = {text_frame("TPE1", "Old Artist", TextEncoding::kUtf8),
                   text_frame("TPE2", "The Band", TextEncoding::kUtf8),
                   text_frame("TCOM", "Composer", TextEncoding::kUtf16),
                   test_support::comment_frame("kept comment"),
                   test_support::user_text_frame("PRIVATE", "value"),
                   test_support::picture_frame("image/png", "old picture"),
                   text_frame("TSOP", "Artist, Old", TextEncoding::kUtf8),
                   text_frame("TDRL", "2001-05-01", TextEncoding::kUtf8)};
  const std::string before = make("v24.mp3", recipe);
  make("untouched.mp3", recipe);
  const std::string cover = jpeg(5000);
  write_file(file("R-77.jpg"), cover);

  write_tags("v24.mp3", sample_release(), 0);
  Frames frames = read_frames(file("v24.mp3"));
  EXPECT_EQ(one(frames, "version"), "2.3");
  EXPECT_EQ(one(frames, "TPE1"), "First Artist");
  EXPECT_EQ(one(frames, "TPE2"), "<missing>");
  EXPECT_EQ(one(frames, "TCOM"), "<missing>");
  EXPECT_EQ(one(frames, "COMM"), "eng||kept comment");
  EXPECT_EQ(one(frames, "TXXX"), "PRIVATE|value");
  EXPECT_TRUE(one(frames, "APIC") == picture_value(cover));
  EXPECT_EQ(one(frames, "TSOP"), "Artist, Old");
  EXPECT_EQ(one(frames, "TDRL"), "2001-05-01");
  EXPECT_TRUE(audio_bytes(read_file(file("v24.mp3"))) == audio_bytes(before));

  // Without a track artist and a picture, band, composer and cover stay.
  Release release = sample_release();
  release.track_artists = {"", ""};
  release.picture_url.clear();
  write_tags("untouched.mp3", release, 0);
  frames = read_frames(file("untouched.mp3"));
  EXPECT_EQ(one(frames, "TPE1"), "Old Artist");
  EXPECT_EQ(one(frames, "TPE2"), "The Band");
  EXPECT_EQ(one(frames, "TCOM"), "Composer");
  EXPECT_EQ(one(frames, "APIC"), picture_value("old picture", "image/png", 3));
}

TEST_F(TagWriter, EmptyTextsLeaveTheOldFrames) {
  make("song.mp3",
       v23_file({latin1("TCON", "Jazz"), latin1("TYER", "1970"), latin1("TIT2", "Old Title"),
                 latin1("TALB", "Old Album"), latin1("TRCK", "7/9")}));
  Release release = sample_release();
  release.style.clear();
  release.release_date.clear();
  release.title.clear();
  release.track_names = {"", ""};
  write_tags("song.mp3", release, -1);
  const Frames frames = read_frames(file("song.mp3"));
  EXPECT_EQ(one(frames, "TCON"), "Jazz");
  EXPECT_EQ(one(frames, "TYER"), "1970");
  EXPECT_EQ(one(frames, "TIT2"), "Old Title");
  EXPECT_EQ(one(frames, "TALB"), "Old Album");
  EXPECT_EQ(one(frames, "TRCK"), "7/9");
}

TEST_F(TagWriter, TheYearComesFromTheDateOrIsTheDateItself) {
  Mp3Recipe recipe;
  for (const auto& [date, year] : std::vector<std::pair<std::string, std::string>>{
           {"12 Mar 1999", "1999"}, {"99", "1999"}, {"March", "March"}}) {
    make("song.mp3", recipe);
    Release release = sample_release();
    release.release_date = date;
    write_tags("song.mp3", release, 0);
    EXPECT_EQ(one(read_frames(file("song.mp3")), "TYER"), year) << date;
  }
}

TEST_F(TagWriter, TheTrackPositionIsWrittenInFull) {
  Mp3Recipe recipe;
  make("song.mp3", recipe);
  write_tags("song.mp3", sample_release(), 255);
  const std::string after = read_file(file("song.mp3"));
  EXPECT_EQ(one(read_frames(file("song.mp3")), "TRCK"), "256");
  EXPECT_EQ(parse_id3v1(after.substr(after.size() - 128)).track, 0);  // ID3v1 stops at 255
  write_tags("song.mp3", sample_release(), 256);
  EXPECT_EQ(one(read_frames(file("song.mp3")), "TRCK"), "257");
}

TEST_F(TagWriter, TextsInTheCodePageAndUtf16FramesStayReadable) {
  make("song.mp3",
       v23_file({text_frame("TIT1", "Bj\xC3\xB6rk \xE2\x98\x83 \xE6\x97\xA5\xE6\x9C\xAC",
                            TextEncoding::kUtf16),
                 text_frame("TOPE", "Sigur R\xC3\xB3s", TextEncoding::kUtf16BE)}));
  Release release = sample_release();
  release.track_names = {"Caf\xE9 \x80 5", "x"};  // Windows-1252: e acute, euro sign
  release.title = "Se\xF1or";
  write_tags("song.mp3", release, 0);
  const Frames frames = read_frames(file("song.mp3"));
  EXPECT_EQ(one(frames, "TIT1"), "Bj\xC3\xB6rk \xE2\x98\x83 \xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_EQ(one(frames, "TOPE"), "Sigur R\xC3\xB3s");
  EXPECT_EQ(one(frames, "TIT2"), "Caf\xC3\xA9 \xE2\x82\xAC 5");
  EXPECT_EQ(one(frames, "TALB"), "Se\xC3\xB1or");
  const std::string after = read_file(file("song.mp3"));
  EXPECT_EQ(parse_id3v1(after.substr(after.size() - 128)).title, "Caf\xE9 \x80 5");
}

TEST_F(TagWriter, ThePictureIsAttachedOnlyFromAFileThatHoldsSomething) {
  Mp3Recipe recipe = v23_file({test_support::picture_frame("image/png", "old picture")});
  const std::string old_picture = picture_value("old picture", "image/png", 3);

  make("song.mp3", recipe);  // no picture file at all
  write_tags("song.mp3", sample_release(), 0);
  EXPECT_EQ(one(read_frames(file("song.mp3")), "APIC"), old_picture);

  make("song.mp3", recipe);
  write_file(file("R-77.jpg"), "");  // an empty picture file
  write_tags("song.mp3", sample_release(), 0);
  EXPECT_EQ(one(read_frames(file("song.mp3")), "APIC"), old_picture);

  make("song.mp3", recipe);
  Release release = sample_release();
  release.picture_url = "abc";  // three characters: never attached
  write_file(file("The Album.jpg"), jpeg(100));
  write_tags("song.mp3", release, 0);
  EXPECT_EQ(one(read_frames(file("song.mp3")), "APIC"), old_picture);
}

TEST_F(TagWriter, OlderTagKindsAreReadAndKept) {
  Mp3Recipe v22;
  v22.id3v2_version = 2;
  v22.frames = {latin1("TT2", "Old Title"), latin1("TP1", "Old Artist"), latin1("TBP", "99")};
  make("v22.mp3", v22);
  Release release = sample_release();
  release.track_names = {"", ""};
  write_tags("v22.mp3", release, 0);
  Frames frames = read_frames(file("v22.mp3"));
  EXPECT_EQ(one(frames, "TIT2"), "Old Title");
  EXPECT_EQ(one(frames, "TBPM"), "99");
  EXPECT_EQ(one(frames, "TPE1"), "First Artist");

  Id3Frame compressed = test_support::user_text_frame("PACKED", std::string(300, 'z'));
  compressed.compressed = true;
  make("compressed.mp3", v23_file({compressed}));
  write_tags("compressed.mp3", sample_release(), 0);
  EXPECT_EQ(one(read_frames(file("compressed.mp3")), "TXXX"), "PACKED|" + std::string(300, 'z'));

  Mp3Recipe only_v1;
  only_v1.with_id3v1 = true;
  only_v1.id3v1 = {"V1 Title", "V1 Artist", "V1 Album", "1985", "v1 comment", 4, 8};
  make("v1.mp3", only_v1);
  release.title.clear();
  release.style.clear();
  write_tags("v1.mp3", release, -1);
  frames = read_frames(file("v1.mp3"));
  EXPECT_EQ(one(frames, "TIT2"), "V1 Title");
  EXPECT_EQ(one(frames, "TPE1"), "V1 Artist");
  EXPECT_EQ(one(frames, "TCON"), "Jazz");
  EXPECT_EQ(one(frames, "TALB"), "V1 Album");
  EXPECT_EQ(one(frames, "TRCK"), "4");
  EXPECT_EQ(one(frames, "COMM"), "eng||v1 comment");
  const std::string after = read_file(file("v1.mp3"));
  const Id3v1Fields v1 = parse_id3v1(after.substr(after.size() - 128));
  EXPECT_EQ(v1.comment, "v1 comment");
  EXPECT_EQ(v1.artist, "V1 Artist");
  EXPECT_EQ(v1.year, "1999");
  EXPECT_EQ(v1.genre, 8);
}

TEST_F(TagWriter, ADamagedOrMissingFileIsLeftAlone) {
  std::string broken = test_support::make_mp3(Mp3Recipe());
  broken = std::string("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) +
           broken;  // a tag far longer than the file
  write_file(file("broken.mp3"), broken);
  EXPECT_FALSE(write_tags("broken.mp3", sample_release(), 0).empty());
  EXPECT_TRUE(read_file(file("broken.mp3")) == broken);

  std::string unknown = std::string("ID3\x05\x00\x00\x00\x00\x00\x10", 10) + std::string(16, 'x') +
                        test_support::make_mp3(Mp3Recipe());
  write_file(file("unknown.mp3"), unknown);
  EXPECT_FALSE(write_tags("unknown.mp3", sample_release(), 0).empty());
  EXPECT_TRUE(read_file(file("unknown.mp3")) == unknown);

  EXPECT_FALSE(write_tags("missing.mp3", sample_release(), 0).empty());
  std::filesystem::create_directory(file("folder.mp3"));
  EXPECT_FALSE(write_tags("folder.mp3", sample_release(), 0).empty());
  EXPECT_FALSE(std::filesystem::exists(file("missing.mp3")));
}

TEST_F(TagWriter, ARewriteKeepsTheModeAndLeavesNothingBeside) {
  make("song.mp3", Mp3Recipe());
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
  const std::string before = make("song.mp3", Mp3Recipe());
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
  EXPECT_TRUE(one(read_frames(file("song.mp3")), "APIC") == picture_value(other_cover));
  EXPECT_TRUE(audio_bytes(second) == audio_bytes(before));
}

}  // namespace
