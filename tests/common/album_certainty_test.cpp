// Which albums the unattended run may tag: a table of albums that must be
// tagged with one release and albums that must be left, each with the
// reason a user reads.
#include "common/album_certainty.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

struct File {
  std::string name;
  std::string title = "", album = "", artist = "", year = "";
};

ReadRelease release(const std::string& id, const std::string& artist, const std::string& title,
                    const std::string& catalog_number, const std::string& year,
                    const std::vector<std::string>& tracks) {
  ReadRelease read;
  read.found = {id, artist, title, year, catalog_number};
  read.release.artist = artist;
  read.release.title = title;
  read.release.catalog_number = catalog_number;
  read.release.release_date = year;
  read.release.track_names = tracks;
  for (size_t i = 0; i < tracks.size(); ++i) {
    read.release.track_numbers.push_back(std::to_string(i + 1));
    read.release.track_artists.push_back(artist);
  }
  return read;
}

AlbumFacts album(const std::string& folder, const std::vector<File>& files) {
  AlbumFacts facts;
  facts.folder_name = folder;
  for (const File& file : files) {
    facts.files.push_back(file.name);
    LocalTrack tags;
    tags.title = file.title;
    tags.album = file.album;
    tags.artist = file.artist;
    tags.release_date = file.year;
    facts.tags.push_back(tags);
  }
  return facts;
}

const std::vector<std::string> kFerry = {"Salt Road", "Night Ferry", "Lanterns Over Water",
                                         "Harbour Wall"};
const std::vector<std::string> kWeather = {"Low Pressure", "Drizzle Map", "Isobar", "Fog Bank"};

std::vector<File> named_files(const std::vector<std::string>& titles) {
  std::vector<File> files;
  for (size_t i = 0; i < titles.size(); ++i) {
    files.push_back({"0" + std::to_string(i + 1) + " - " + titles[i] + ".mp3"});
  }
  return files;
}

ReadRelease ferry() {
  return release("101", "Harbour Lights", "Night Ferry", "HL 007", "2005", kFerry);
}
ReadRelease weather(const std::string& id, const std::string& catalog_number,
                    const std::string& year) {
  return release(id, "Nils Arvo", "Slow Weather", catalog_number, year, kWeather);
}

struct Case {
  std::string name;
  AlbumFacts album;
  std::vector<ReadRelease> read;
  int chosen;          // -1: left
  std::string reason;  // part of the reason it is left
};

std::vector<Case> cases() {
  std::vector<File> fully_tagged;
  for (size_t i = 0; i < kFerry.size(); ++i) {
    fully_tagged.push_back({"0" + std::to_string(i + 1) + " - " + kFerry[i] + ".mp3", kFerry[i],
                            "Night Ferry", "Harbour Lights", "2005"});
  }
  std::vector<File> only_tags;
  for (size_t i = 0; i < kFerry.size(); ++i) {
    only_tags.push_back(
        {"track" + std::to_string(i + 1) + ".mp3", kFerry[i], "Night Ferry", "Harbour Lights"});
  }
  std::vector<File> swapped = named_files(kFerry);
  swapped[1].name = "02 - Salt Road (Live).mp3";
  return {
      {"TitledFilesUnderANamedFolder",
       album("Harbour_Lights - Night Ferry [HL_007] - (2005)", named_files(kFerry)),
       {ferry()},
       0,
       ""},
      // Every album tag holds the title track's name: that must not pull
      // every file to it.
      {"AlbumTagInEveryFile",
       album("Harbour Lights - Night Ferry", fully_tagged),
       {ferry()},
       0,
       ""},
      {"TagsAloneUnderAUselessFolderName", album("New Folder (3)", only_tags), {ferry()}, 0, ""},
      {"AccentsLeftOutOfTheNames",
       album("Celeste Vardahl - Sma Ljus", named_files({"Over Isen", "Cafe Nocturne", "Ljusar"})),
       {release("105", "C\xE9leste V\xE5rdahl", "Sm\xE5 Ljus", "TW 024", "2006",
                {"\xD6ver Isen", "Caf\xE9 Nocturne", "Ljus\xE5r"})},
       0,
       ""},
      {"ACompilationNeedsNoArtistInTheFolder",
       album("Harbour Nights Vol. 1", named_files({"Quayside", "Night Bus Home", "Wet Cobbles"})),
       {release("206", "Various", "Harbour Nights Vol. 1", "GR 030", "2013",
                {"Quayside", "Night Bus Home", "Wet Cobbles"})},
       0,
       ""},
      {"AFileFewerThanTracks",
       album("Harbour Lights - Night Ferry",
             named_files({"Salt Road", "Night Ferry", "Harbour Wall"})),
       {ferry()},
       -1,
       "3 files but 4 tracks"},
      {"TitleNamedNowhere",
       album("Harbour Lights - Tidal Lines", named_files(kFerry)),
       {ferry()},
       -1,
       "do not name its title 'Night Ferry'"},
      {"ArtistNamedNowhere",
       album("Marta Vey - Night Ferry", named_files(kFerry)),
       {ferry()},
       -1,
       "do not name its artist 'Harbour Lights'"},
      {"FilesNamedByNumberOnly",
       album("Harbour Lights - Night Ferry",
             {{"Track 01.mp3"}, {"Track 02.mp3"}, {"Track 03.mp3"}, {"Track 04.mp3"}}),
       {ferry()},
       -1,
       "'Track 01.mp3' fits track 1 'Salt Road'"},
      // The file that loses the track to the other is left with one it fits
      // no better than that.
      {"TwoFilesClaimOneTrack",
       album("Harbour Lights - Night Ferry", swapped),
       {ferry()},
       -1,
       "'02 - Salt Road (Live).mp3' fits track 2 'Night Ferry' no better than track 1 'Salt Road'"},
      {"TheYearInTheFolderPicksThePressing",
       album("Nils Arvo - Slow Weather (2012)", named_files(kWeather)),
       {weather("204", "GR 021", "2001"), weather("205", "GR 021R", "2012")},
       1,
       ""},
      {"TheYearInTheTagsPicksThePressing",
       album("Nils Arvo - Slow Weather", {{"1 Low Pressure.mp3", "", "", "", "2001"},
                                          {"2 Drizzle Map.mp3"},
                                          {"3 Isobar.mp3"},
                                          {"4 Fog Bank.mp3"}}),
       {weather("205", "GR 021R", "2012"), weather("204", "GR 021", "2001")},
       1,
       ""},
      // "GR 021" is part of "GR 021R": only the whole number counts.
      {"TheCatalogueNumberPicksThePressing",
       album("[GR 021R] Nils Arvo - Slow Weather", named_files(kWeather)),
       {weather("204", "GR 021", "2001"), weather("205", "GR 021R", "2012")},
       1,
       ""},
      {"TwoPressingsAndNothingToTellThemApart",
       album("Nils Arvo - Slow Weather", named_files(kWeather)),
       {weather("204", "GR 021", "2001"), weather("205", "GR 021R", "2012")},
       -1,
       "two releases fit: 204 (GR 021, 2001) and 205 (GR 021R, 2012)"},
      {"OneReleaseListedTwice",
       album("Nils Arvo - Slow Weather", named_files(kWeather)),
       {weather("204", "GR 021", "2001"), weather("204", "GR 021", "2001")},
       0,
       ""},
      {"TheTrackCountPicksTheOriginalOverTheDeluxe",
       album("Harbour Lights - Night Ferry (Deluxe Edition)", named_files(kFerry)),
       {release("103", "Harbour Lights", "Night Ferry (Deluxe Edition)", "HL 007D", "2015",
                {"Salt Road", "Night Ferry", "Lanterns Over Water", "Harbour Wall", "Bonus"}),
        ferry()},
       1,
       ""},
      // Only evidence all files share counts off: a title every other file
      // lacks must not make "Salt Road" as good a name for its demo.
      {"ATrackAndItsDemo",
       album("Harbour Lights - Night Ferry (Deluxe Edition)",
             named_files({"Salt Road", "Night Ferry", "Harbour Wall", "Salt Road (Demo)"})),
       {release("103", "Harbour Lights", "Night Ferry (Deluxe Edition)", "HL 007D", "2015",
                {"Salt Road", "Night Ferry", "Harbour Wall", "Salt Road (Demo)"})},
       0,
       ""},
      // The article of a sort form "Persuader, The" names no artist alone.
      {"AnArticleIsNoArtist",
       album("Live At The Quay - Stockholm", named_files({"Ostermalm", "Gamla Stan", "Norrmalm"})),
       {[] {
         ReadRelease read = release("111", "The Persuader", "Stockholm", "SK032", "1999",
                                    {"Ostermalm", "Gamla Stan", "Norrmalm"});
         read.found.artist = "Persuader, The";
         return read;
       }()},
       -1,
       "do not name its artist 'The Persuader'"},
      {"NothingRead",
       album("Unknown - Demo Tape", named_files({"One", "Two"})),
       {},
       -1,
       "no release found"},
  };
}

}  // namespace

TEST(AlbumCertainty, TableOfAlbumsToTagAndToLeave) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    const AlbumVerdict verdict = judge_album(c.album, c.read);
    EXPECT_EQ(verdict.chosen, c.chosen) << verdict.reason;
    if (c.chosen < 0) {
      EXPECT_THAT(verdict.reason, HasSubstr(c.reason));
    } else {
      EXPECT_EQ(verdict.reason, "");
      // Each file its own track, in the order the names give.
      for (size_t f = 0; f < verdict.assignment.track_of_file.size(); ++f) {
        EXPECT_EQ(verdict.assignment.track_of_file[f], static_cast<int32_t>(f)) << "file " << f;
      }
    }
  }
}

TEST(AlbumCertainty, CluesFromTheFolderNameWhereTagsSayNothing) {
  const AlbumClues clues =
      album_clues(album("Harbour_Lights- Night Ferry [HL_007] - (2005)", {{"01.mp3"}}));
  EXPECT_EQ(clues.artist, "Harbour Lights");
  EXPECT_EQ(clues.title, "Night Ferry");
  EXPECT_THAT(clues.years, ElementsAre("2005"));
  EXPECT_THAT(clues.catalog, ::testing::Contains("hl007"));
  // A dash with a blank on one side separates. Every accented letter of
  // the code page folds to its plain letters, as plain ones stay.
  std::string accented = "az\x8A\x8E\x9A\x9E\x9F";
  for (int c = 0xC0; c <= 0xFF; ++c) accented += static_cast<char>(c);
  EXPECT_EQ(album_clues(album("A - B [" + accented + "]", {{"1.mp3"}})).catalog.front(),
            "azszszyaaaaaaaeceeeeiiiidnoooooouuuuythssaaaaaaaeceeeeiiiidnoooooouuuuythy");
}

TEST(AlbumCertainty, TagsNameTheSearchBeforeTheFolderName) {
  const AlbumClues clues = album_clues(
      album("Harbour Lights - Night Ferry",
            {{"1.mp3", "", "Tidal Lines EP", "Marta Vey"}, {"2.mp3", "", "Tidal Lines EP", ""}}));
  EXPECT_EQ(clues.artist, "Marta Vey");
  EXPECT_EQ(clues.title, "Tidal Lines EP");
}

TEST(AlbumCertainty, TrackArtistsThatDisagreeNameNoArtistToSearch) {
  const AlbumClues clues = album_clues(
      album("Harbour Nights Vol. 1", {{"1.mp3", "", "Harbour Nights Vol. 1", "Wren Hollis"},
                                      {"2.mp3", "", "Harbour Nights Vol. 1", "Nils Arvo"},
                                      {"3.mp3", "", "Harbour Nights Vol. 1", "Juno Berg"}}));
  EXPECT_EQ(clues.artist, "");
  EXPECT_EQ(clues.title, "Harbour Nights Vol. 1");
}

TEST(AlbumCertainty, OnlyResultsTheFolderNamesAreReadFullestTitleFirst) {
  const AlbumClues clues =
      album_clues(album("Mirelle Dax - Copper Fields (Deluxe Edition)", {{"1.mp3"}}));
  const std::vector<FoundRelease> found = {
      {"1", "Mirelle Dax", "Copper Fields", "2010", "FN 101"},
      {"2", "Tomas Quill", "Copper Fields", "2011", "TW 1"},
      {"3", "Mirelle Dax", "Iron Fields", "2012", "FN 102"},
      {"4", "Mirelle Dax", "Copper Fields (Deluxe Edition)", "2015", "FN 101D"}};
  EXPECT_THAT(rank_found_releases(clues, found), ElementsAre(3u, 0u));
  // Among equal titles: the catalogue number the folder names, then its year.
  const std::vector<FoundRelease> pressings = {{"1", "Nils Arvo", "Slow Weather", "2005", "GR 9"},
                                               {"2", "Nils Arvo", "Slow Weather", "2001", "GR 1"},
                                               {"3", "Nils Arvo", "Slow Weather", "2012", "GR 2"}};
  EXPECT_THAT(
      rank_found_releases(album_clues(album("[GR 2] Nils Arvo - Slow Weather (2001)", {{"1.mp3"}})),
                          pressings),
      ElementsAre(2u, 1u, 0u));
}

TEST(AlbumCertainty, AnotherPressingIsReadOnlyWhenTheFolderCannotTellThemApart) {
  const FoundRelease original = {"1", "Nils Arvo", "Slow Weather", "2001", "GR 021"};
  const FoundRelease reissue = {"2", "Nils Arvo", "Slow Weather", "2012", "GR 021R"};
  const auto clues_of = [](const std::string& folder) {
    return album_clues(album(folder, {{"1.mp3"}}));
  };
  EXPECT_TRUE(could_compete(clues_of("Nils Arvo - Slow Weather"), original, reissue));
  EXPECT_FALSE(could_compete(clues_of("Nils Arvo - Slow Weather (2001)"), original, reissue));
  EXPECT_FALSE(could_compete(clues_of("[GR 021] Nils Arvo - Slow Weather"), original, reissue));
  EXPECT_FALSE(could_compete(clues_of("Nils Arvo - Slow Weather"), original, original));
}
