// The readers on the pages of the stand-in database's bundled catalogue, as
// the stand-in writes them out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/mp3_maker.h"
#include "tests/support/temp_dir.h"
#include "web/discography.h"
#include "web/hosts.h"
#include "web/release_page.h"
#include "web/search.h"

using test_support::TempDir;

namespace {

class CataloguePages : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    pages_ = new TempDir;
    const char* python = std::getenv("PLINTH_TEST_PYTHON");
    int status = -1;
    test_support::run_command(std::string(python != nullptr ? python : "/usr/bin/python3") +
                                  " " PLINTH_SOURCE_DIR "/tools/standin_server.py --write-pages " +
                                  pages_->path() + " >/dev/null",
                              &status);
    ASSERT_EQ(status, 0);
  }
  static void TearDownTestSuite() {
    delete pages_;
    pages_ = nullptr;
  }

  static std::string page(const std::string& name) {
    return test_support::read_file(pages_->file(name));
  }

  static Release release(const std::string& id) {
    Release read;
    read_release_page(page("release/" + id + ".html"), read);
    return read;
  }

  static TempDir* pages_;
};

TempDir* CataloguePages::pages_ = nullptr;

std::vector<std::string> numbers(int count) {
  std::vector<std::string> out;
  for (int i = 1; i <= count; ++i) out.push_back(std::to_string(i));
  return out;
}

}  // namespace

TEST_F(CataloguePages, SearchPagesListArtistsAndLabels) {
  std::vector<std::string> links;
  const std::string harbour = page("search/Harbour+Lights.html");
  EXPECT_TRUE(is_search_result_page(harbour));
  extract_search_results(harbour, links);
  EXPECT_EQ(links, std::vector<std::string>{"/artist/Harbour+Lights"});

  links.clear();
  extract_search_results(page("search/Marta+Vey.html"), links);
  EXPECT_EQ(links, (std::vector<std::string>{"/artist/Marta+Vey", "/artist/Marta+Vey+%282%29"}));

  links.clear();
  extract_search_results(page("search/Tidewater+Records.html"), links);
  EXPECT_EQ(links, std::vector<std::string>{"/label/Tidewater+Records"});

  links.clear();
  const std::string none = page("search/no-match.html");
  EXPECT_TRUE(is_search_result_page(none));
  extract_search_results(none, links);
  EXPECT_TRUE(links.empty());
}

TEST_F(CataloguePages, OtherPagesAreNotSearchPages) {
  EXPECT_FALSE(is_search_result_page(page("artist/Harbour+Lights.html")));
  EXPECT_FALSE(is_search_result_page(page("label/Lumen+Lane.html")));
  EXPECT_FALSE(is_search_result_page(page("release/100101.html")));
}

TEST_F(CataloguePages, ArtistPageListsOnlyTheArtistsOwnReleases) {
  std::vector<std::string> links;
  std::vector<ReleaseEntry> entries;
  ASSERT_TRUE(parse_artist_page(page("artist/Harbour+Lights.html"), links, entries));
  EXPECT_EQ(links, (std::vector<std::string>{"/release/100101", "/release/100102",
                                             "/release/100103", "/release/100106"}));
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].title, "Night Ferry");
  EXPECT_EQ(entries[0].format, "CD, Album");
  EXPECT_EQ(entries[0].label, "Tidewater Records");
  EXPECT_EQ(entries[1].format, "12\", EP");
  EXPECT_EQ(entries[3].label, "Lumen Lane");
}

TEST_F(CataloguePages, LabelPageListsArtistsOfItsReleases) {
  std::vector<std::string> links;
  std::vector<ReleaseEntry> entries;
  ASSERT_TRUE(parse_label_page(page("label/Lumen+Lane.html"), links, entries));
  EXPECT_EQ(links, (std::vector<std::string>{"/release/100104", "/release/100106"}));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].artist, "Marta Vey (2)");
  EXPECT_EQ(entries[0].title, "Paper Moons");
  EXPECT_EQ(entries[0].format, "CD, Album");
  EXPECT_EQ(entries[0].label, "");
  EXPECT_EQ(entries[1].title, "Split Tides");
}

TEST_F(CataloguePages, ReleaseWithTwelveTracks) {
  const Release night_ferry = release("100101");
  EXPECT_EQ(night_ferry.artist, "Harbour Lights");
  EXPECT_EQ(night_ferry.title, "Night Ferry");
  EXPECT_EQ(night_ferry.label, "Tidewater Records");
  EXPECT_EQ(night_ferry.catalog_number, "HL 007");
  EXPECT_EQ(night_ferry.release_date, "2005");
  EXPECT_EQ(night_ferry.genre, "Electronic");
  EXPECT_EQ(night_ferry.style, "Downtempo,Ambient");
  EXPECT_EQ(night_ferry.picture_url, std::string(kImageBase) + "/R/t/R-100101.jpg");
  EXPECT_EQ(night_ferry.track_numbers, numbers(12));
  EXPECT_EQ(night_ferry.track_names,
            (std::vector<std::string>{"Salt Road", "Night Ferry", "Lanterns Over Water",
                                      "Harbour Wall", "The Quiet Deck", "Low Tide Signal",
                                      "Gulls At Four", "Crossing", "Paper Boats",
                                      "Foghorn Lullaby", "Pier Lights", "Morning Landfall"}));
  EXPECT_EQ(night_ferry.track_artists, std::vector<std::string>(12, "Harbour Lights"));
}

TEST_F(CataloguePages, VinylPositionsAndFullDate) {
  const Release tidal = release("100102");
  EXPECT_EQ(tidal.track_numbers, (std::vector<std::string>{"A1", "A2", "B1", "B2"}));
  EXPECT_EQ(tidal.track_names,
            (std::vector<std::string>{"Tidal Lines", "Undertow", "Brine", "Tidal Lines (Dub)"}));
  EXPECT_EQ(tidal.release_date, "14 Mar 2003");
  EXPECT_EQ(tidal.style, "DeepHouse,Downtempo");
  EXPECT_EQ(release("100107").track_numbers, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(release("100107").style, "DrumnBass");
}

TEST_F(CataloguePages, RemixCreditsAreCutFromNames) {
  const Release remixes = release("100103");
  ASSERT_GE(remixes.track_names.size(), 4u);
  EXPECT_EQ(remixes.track_names[0], "Night Ferry");
  EXPECT_EQ(remixes.track_names[1], "Salt Road");
  EXPECT_EQ(remixes.track_names[2], "Pier Lights (Club Mix)");
  EXPECT_EQ(remixes.track_names[3], "Night Ferry (Live)");
}

TEST_F(CataloguePages, NumberedArtistAndTwoGenres) {
  const Release moons = release("100104");
  EXPECT_EQ(moons.artist, "Marta Vey (2)");
  EXPECT_EQ(moons.genre, "Electronic,Pop");
}

TEST_F(CataloguePages, AccentedNamesArriveInTheCodePage) {
  const Release ljus = release("100105");
  EXPECT_EQ(ljus.artist, "C\xE9leste V\xE5rdahl");
  EXPECT_EQ(ljus.title, "Sm\xE5 Ljus");
  ASSERT_GE(ljus.track_names.size(), 4u);
  EXPECT_EQ(ljus.track_names[0], "\xD6ver Isen");
  EXPECT_EQ(ljus.track_names[1], "Caf\xE9 Nocturne");
  EXPECT_EQ(ljus.track_names[2], "Ljus\xE5r");
  EXPECT_EQ(ljus.track_artists[0], "C\xE9leste V\xE5rdahl");
}

TEST_F(CataloguePages, SeveralArtistsInTheHeader) {
  const Release split = release("100106");
  EXPECT_EQ(split.artist, "Harbour Lights and Marta Vey (2)");
  EXPECT_EQ(split.title, "Split Tides");
  EXPECT_EQ(split.track_artists, (std::vector<std::string>{"Harbour Lights", "Marta Vey (2)",
                                                           "Harbour Lights", "Marta Vey (2)"}));
  EXPECT_EQ(split.track_names,
            (std::vector<std::string>{"Shoreline", "Undersong", "Split Tides", "Shoreline"}));
}

TEST_F(CataloguePages, EveryCutOfARealReleasePageIsSafe) {
  const std::string full = page("release/100106.html");
  for (size_t n = 0; n <= full.size(); n += 7) {
    Release read;
    read_release_page(full.substr(0, n), read);
    ASSERT_EQ(read.track_names.size(), read.track_artists.size());
  }
}
