#include "app/local_scan.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "output/tag_reader.h"
#include "platform/codepage.h"
#include "platform/folders.h"
#include "tests/support/current_folder.h"
#include "tests/support/mp3_maker.h"
#include "tests/support/temp_dir.h"

using test_support::Id3Frame;
using test_support::Mp3Recipe;
using test_support::text_frame;
using test_support::TextEncoding;
using test_support::write_mp3;

namespace {

class LocalScan : public ::testing::Test {
 protected:
  LocalTrack read(const Mp3Recipe& recipe) {
    write_mp3(dir.file("song.mp3"), recipe);
    return read_path(dir.file("song.mp3"));
  }

  static LocalTrack read_path(const std::string& path) {
    LocalTrack track;
    read_local_tags(platform::name_from_fs(path), track);
    return track;
  }

  static Mp3Recipe tagged(int version, std::vector<Id3Frame> frames) {
    Mp3Recipe recipe;
    recipe.id3v2_version = version;
    recipe.frames = std::move(frames);
    return recipe;
  }

  // Runs python3 with mutagen: the script gets the file's path as argv[1].
  void mutagen(const std::string& script, const std::string& path) {
    const char* python = std::getenv("PLINTH_TEST_PYTHON");
    test_support::write_file(dir.file("tag.py"), script);
    int status = -1;
    test_support::run_command(std::string(python != nullptr ? python : "/usr/bin/python3") + " '" +
                                  dir.file("tag.py") + "' '" + path + "' 2>&1",
                              &status);
    ASSERT_EQ(status, 0) << "mutagen script failed";
  }

  static void expect_empty(const LocalTrack& track) {
    EXPECT_EQ(track.artist, "");
    EXPECT_EQ(track.title, "");
    EXPECT_EQ(track.album, "");
    EXPECT_EQ(track.track_number, "");
    EXPECT_EQ(track.release_date, "");
  }

  test_support::TempDir dir;
};

const TextEncoding kLatin1 = TextEncoding::kLatin1;

}  // namespace

TEST_F(LocalScan, ReadsId3v23FieldsAndNothingElse) {
  const LocalTrack track = read(tagged(
      3, {text_frame("TPE1", "Some Artist", kLatin1), text_frame("TIT2", "Harbour Lights", kLatin1),
          text_frame("TALB", "Some Title", kLatin1), text_frame("TRCK", "3/12", kLatin1),
          text_frame("TYER", "2005", kLatin1), text_frame("TPUB", "A Label", kLatin1),
          text_frame("TCON", "Rock", kLatin1), test_support::comment_frame("a comment"),
          test_support::user_text_frame("CATALOGNUMBER", "CAT 042")}));
  EXPECT_EQ(track.artist, "Some Artist");
  EXPECT_EQ(track.title, "Harbour Lights");
  EXPECT_EQ(track.album, "Some Title");
  EXPECT_EQ(track.track_number, "3/12");
  EXPECT_EQ(track.release_date, "2005");
  EXPECT_EQ(track.label, "");
  EXPECT_EQ(track.catalog_number, "");
  EXPECT_EQ(track.genre, "");
  EXPECT_EQ(track.style, "");
  EXPECT_EQ(track.comment, "");
}

TEST_F(LocalScan, ReadsId3v22) {
  const LocalTrack track = read(
      tagged(2, {text_frame("TP1", "Old Artist", kLatin1), text_frame("TT2", "Old Title", kLatin1),
                 text_frame("TAL", "Old Album", kLatin1), text_frame("TRK", "7", kLatin1),
                 text_frame("TYE", "1999", kLatin1)}));
  EXPECT_EQ(track.artist, "Old Artist");
  EXPECT_EQ(track.title, "Old Title");
  EXPECT_EQ(track.album, "Old Album");
  EXPECT_EQ(track.track_number, "7");
  EXPECT_EQ(track.release_date, "1999");
}

TEST_F(LocalScan, ReadsId3v24InEveryEncodingIntoTheCodePage) {
  // "Café € 日本" — é and € are in the code page, the Japanese letters not.
  const std::string text = "Caf\xC3\xA9 \xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC";
  const std::string expected = "Caf\xE9 \x80 ??";
  for (TextEncoding encoding :
       {TextEncoding::kUtf8, TextEncoding::kUtf16, TextEncoding::kUtf16BE}) {
    const LocalTrack track =
        read(tagged(4, {text_frame("TPE1", text, encoding), text_frame("TIT2", text, encoding),
                        text_frame("TDRC", "2005-03-01", encoding)}));
    EXPECT_EQ(track.artist, expected) << static_cast<int>(encoding);
    EXPECT_EQ(track.title, expected);
    EXPECT_EQ(track.release_date, "2005-03-01");
  }
  const LocalTrack utf16_v23 = read(tagged(3, {text_frame("TPE1", text, TextEncoding::kUtf16)}));
  EXPECT_EQ(utf16_v23.artist, expected);
  // Outside the Basic Multilingual Plane: one character, one '?'.
  const LocalTrack emoji = read(tagged(3, {text_frame("TIT2",
                                                      "a\xF0\x9F\x8E\xB5"
                                                      "b",
                                                      TextEncoding::kUtf16)}));
  EXPECT_EQ(emoji.title, "a?b");
}

TEST_F(LocalScan, Latin1FramesKeepTheirBytes) {
  // Taggers write Windows-1252 into "Latin-1" frames; the bytes stay as they are.
  Id3Frame frame{"TPE1", std::string("\0Caf\xE9 \x80", 7), false};
  EXPECT_EQ(read(tagged(3, {frame})).artist, "Caf\xE9 \x80");
}

TEST_F(LocalScan, ArtistIsTheFirstOfLeadBandConductorComposer) {
  EXPECT_EQ(read(tagged(3, {text_frame("TPE2", "Band", kLatin1)})).artist, "Band");
  EXPECT_EQ(read(tagged(3, {text_frame("TCOM", "Composer", kLatin1),
                            text_frame("TPE3", "Conductor", kLatin1)}))
                .artist,
            "Conductor");
  EXPECT_EQ(read(tagged(3, {text_frame("TCOM", "Composer", kLatin1)})).artist, "Composer");
  EXPECT_EQ(
      read(tagged(4, {text_frame("TPE2", "Band", kLatin1), text_frame("TPE1", "Lead", kLatin1)}))
          .artist,
      "Lead");
}

TEST_F(LocalScan, ReadsCompressedFrames) {
  for (int version : {3, 4}) {
    Id3Frame title = text_frame("TIT2", "Squeezed Title", kLatin1);
    title.compressed = true;
    Id3Frame artist = text_frame("TPE1", "Squeezed Artist", TextEncoding::kUtf16);
    artist.compressed = true;
    const LocalTrack track = read(tagged(version, {title, artist}));
    EXPECT_EQ(track.title, "Squeezed Title") << "ID3v2." << version;
    EXPECT_EQ(track.artist, "Squeezed Artist") << "ID3v2." << version;
  }
}

TEST_F(LocalScan, Id3v1FillsWhatTheId3v2TagLacks) {
  Mp3Recipe only_v1;
  only_v1.with_id3v1 = true;
  only_v1.id3v1 = {"V1 Title", "V1 Artist", "V1 Album", "1987", "", 4, 17};
  LocalTrack track = read(only_v1);
  EXPECT_EQ(track.artist, "V1 Artist");
  EXPECT_EQ(track.title, "V1 Title");
  EXPECT_EQ(track.album, "V1 Album");
  EXPECT_EQ(track.track_number, "4");
  EXPECT_EQ(track.release_date, "1987");

  Mp3Recipe both = tagged(3, {text_frame("TIT2", "V2 Title", kLatin1)});
  both.with_id3v1 = true;
  both.id3v1 = {"V1 Title", "V1 Artist", "", "", "", 0, 255};
  track = read(both);
  EXPECT_EQ(track.title, "V2 Title");
  EXPECT_EQ(track.artist, "V1 Artist");
  EXPECT_EQ(track.album, "");
  EXPECT_EQ(track.track_number, "");  // ID3v1.0 has no track
}

TEST_F(LocalScan, AnotherWritersTagsReadAsStored) {
  // ID3v2.3 keeps several artists as one text joined by '/', ID3v2.4 as
  // separate texts, of which the first is the artist.
  for (int version : {3, 4}) {
    const std::string path = dir.file("v" + std::to_string(version) + ".mp3");
    write_mp3(path, Mp3Recipe());
    mutagen(
        "import sys\n"
        "from mutagen.id3 import ID3, TPE1, TIT2, TALB, TRCK, TYER, TDAT, TDRC\n"
        "t = ID3()\n"
        "t.add(TPE1(encoding=1, text=['First', 'Second']))\n"
        "t.add(TIT2(encoding=1, text='\\u00c9t\\u00e9'))\n"
        "t.add(TALB(encoding=0, text='Album'))\n"
        "t.add(TRCK(encoding=0, text='2/9'))\n"
        "t.add(TDRC(encoding=0, text='2001-02-03'))\n"
        "t.save(sys.argv[1], v2_version=" +
            std::to_string(version) + ")\n",
        path);
    const LocalTrack track = read_path(path);
    SCOPED_TRACE("ID3v2." + std::to_string(version));
    EXPECT_EQ(track.artist, version == 3 ? "First/Second" : "First");
    EXPECT_EQ(track.title, "\xC9t\xE9");
    EXPECT_EQ(track.album, "Album");
    EXPECT_EQ(track.track_number, "2/9");
    // ID3v2.3 holds the year in TYER (and the day in TDAT): the year is read.
    EXPECT_EQ(track.release_date, version == 3 ? "2001" : "2001-02-03");
  }
}

TEST_F(LocalScan, DamagedOrMissingTagsGiveAnEmptyRecord) {
  const std::string audio = test_support::make_mp3(Mp3Recipe());
  const std::string good = test_support::make_mp3(
      tagged(3, {text_frame("TPE1", "Artist", kLatin1), text_frame("TIT2", "Title", kLatin1)}));
  const std::vector<std::string> damaged = {
      "",
      "ID3",
      std::string("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) + audio,  // claims 256 MB
      std::string("ID3\x03\x00\x00\x00\x00\x00\x20", 10) + "TPE1\xFF\xFF\xFF\xFF\x00\x00" + audio,
      std::string("ID3\x09\x00\x00\x00\x00\x00\x10", 10) + std::string(16, '\x01') + audio,
      std::string(5000, '\xFF'),
      "TAG",
  };
  for (size_t i = 0; i < damaged.size(); ++i) {
    test_support::write_file(dir.file("song.mp3"), damaged[i]);
    const LocalTrack track = read_path(dir.file("song.mp3"));
    SCOPED_TRACE("damaged file " + std::to_string(i));
    expect_empty(track);
  }
  // Every cut of a tagged file parses to something without harm.
  for (size_t cut = 0; cut < 200; cut += 3) {
    test_support::write_file(dir.file("cut.mp3"), good.substr(0, cut));
    read_path(dir.file("cut.mp3"));
  }
}

TEST_F(LocalScan, FoldersPipesAndMissingFilesGiveAnEmptyRecord) {
  std::filesystem::create_directory(dir.file("folder.mp3"));
  ASSERT_EQ(mkfifo(dir.file("pipe.mp3").c_str(), 0600), 0);
  expect_empty(read_path(dir.file("folder.mp3")));
  expect_empty(read_path(dir.file("pipe.mp3")));
  expect_empty(read_path(dir.file("missing.mp3")));
}

TEST_F(LocalScan, NamesOutsideTheCodePageAreRead) {
  for (const char* name : {"\xE6\x97\xA5\xE6\x9C\xAC.mp3",
                           "\xC3\x9Cn\xC3\xAF"
                           "c\xC3\xB6"
                           "d\xC3\xA9.mp3"}) {
    write_mp3(dir.file(name), tagged(3, {text_frame("TIT2", name, TextEncoding::kUtf8)}));
    EXPECT_NE(read_path(dir.file(name)).title, "") << name;
  }
}

TEST_F(LocalScan, ScanReadsEveryListedFileInOrder) {
  test_support::KeepCurrentFolder keep;
  write_mp3(dir.file("b.mp3"), tagged(3, {text_frame("TIT2", "Second", kLatin1)}));
  write_mp3(dir.file("A.MP3"), tagged(4, {text_frame("TIT2", "First", kLatin1)}));
  write_mp3(dir.file("c.mp3"), Mp3Recipe());
  std::filesystem::create_directory(dir.file("d.mp3"));
  test_support::write_file(dir.file("e.txt"), "");
  ASSERT_TRUE(platform::set_current_folder(dir.path()));

  RunState run;
  ASSERT_TRUE(find_mp3_files(run));
  scan_local_tracks(run);
  EXPECT_EQ(run.files, (std::vector<std::string>{"A.MP3", "b.mp3", "c.mp3", "d.mp3"}));
  ASSERT_EQ(run.local_tracks.size(), run.files.size());
  EXPECT_EQ(run.local_tracks[0].title, "First");
  EXPECT_EQ(run.local_tracks[1].title, "Second");
  EXPECT_EQ(run.local_tracks[2].title, "");
  EXPECT_EQ(run.local_tracks[3].title, "");
}

TEST_F(LocalScan, FolderWithoutMp3FilesFindsNothing) {
  test_support::KeepCurrentFolder keep;
  test_support::write_file(dir.file("notes.txt"), "");
  ASSERT_TRUE(platform::set_current_folder(dir.path()));
  RunState run;
  EXPECT_FALSE(find_mp3_files(run));
  EXPECT_TRUE(run.files.empty());
}

TEST_F(LocalScan, ReadingLeavesTheFileAsItWas) {
  const Mp3Recipe recipe = tagged(3, {text_frame("TPE1", "Artist", kLatin1)});
  write_mp3(dir.file("song.mp3"), recipe);
  const auto before = std::filesystem::last_write_time(dir.file("song.mp3"));
  read_path(dir.file("song.mp3"));
  EXPECT_EQ(test_support::read_file(dir.file("song.mp3")), test_support::make_mp3(recipe));
  EXPECT_EQ(std::filesystem::last_write_time(dir.file("song.mp3")), before);
}
