#include "output/templates.h"

#include <gtest/gtest.h>

#include "common/text.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "tests/support/run_state_reset.h"

namespace {

Release sample_release() {
  Release release;
  release.artist = "A";
  release.title = "T";
  release.label = "L";
  release.catalog_number = "C";
  release.release_date = "12 Mar 1999";
  release.genre = "Rock";
  release.style = "Punk";
  release.track_artists = {"B", "B2"};
  release.track_names = {"N", "N2"};
  release.track_numbers = {"A1", "A2"};
  release.picture_url = "http://images.example/R-1.jpg";
  return release;
}

std::string expand(std::string text, const Release& release = sample_release(), int track = 0) {
  expand_template(text, release, track);
  return text;
}

class TemplateNames : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::reset_run_state();
    g_releases.push_back(sample_release());
  }
  void TearDown() override { test_support::reset_run_state(); }
};

TEST(Template, EachPlaceholderTakesItsField) {
  EXPECT_EQ(expand("/1|/2|/3|/4|/5|/6|/7|/8|/9"), "A|T|L|C|12 Mar 1999|B|N|A1|Punk");
  EXPECT_EQ(expand("/6 /7 /8", sample_release(), 1), "B2 N2 A2");
  EXPECT_EQ(expand("/1 - /2"), "A - T");
}

TEST(Template, EmptyFieldLeavesTheTextAround) {
  Release release = sample_release();
  release.catalog_number.clear();
  EXPECT_EQ(expand("[/4] /1 - /2", release), "[] A - T");
}

TEST(Template, NumberIsReadLikeAtoiButOnlyTwoCharactersGo) {
  EXPECT_EQ(expand("x/12y"), "x2y");
  EXPECT_EQ(expand("x/0y"), "xy");
  EXPECT_EQ(expand("x/zy"), "xy");
  EXPECT_EQ(expand("AC/DC"), "ACC");
  EXPECT_EQ(expand("x/ 5y"), "x12 Mar 19995y");
  EXPECT_EQ(expand("x/-1y"), "x1y");
  EXPECT_EQ(expand("x/99999999999999999999y"), "x9999999999999999999y");
}

TEST(Template, TrailingSlashStaysAndGoesLaterInSafeFileName) {
  std::string name = expand("/1/");
  EXPECT_EQ(name, "A/");
  safe_file_name(name);
  EXPECT_EQ(name, "A");
}

TEST(Template, InsertedValuesAreNeverExpandedAgain) {
  Release release = sample_release();
  release.artist = "AC/DC /2";
  std::string name = expand("/1 - /2", release);
  EXPECT_EQ(name, "AC/DC /2 - T");
  safe_file_name(name);
  EXPECT_EQ(name, "ACDC 2 - T");
}

TEST(Template, WithoutPlaceholdersOrEmptyYieldsItself) {
  EXPECT_EQ(expand("plain name"), "plain name");
  EXPECT_EQ(expand(""), "");
}

TEST(Template, TrackFieldsOfAMissingTrackAreEmpty) {
  Release release = sample_release();
  release.track_artists.clear();
  release.track_names.clear();
  release.track_numbers.clear();
  EXPECT_EQ(expand("[/6|/7|/8] /1", release), "[||] A");
  EXPECT_EQ(expand("/7", sample_release(), 5), "");
  EXPECT_EQ(expand("/7", sample_release(), -1), "");
}

}  // namespace
