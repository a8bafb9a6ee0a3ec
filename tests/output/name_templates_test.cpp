#include "output/names/name_templates.h"

#include <gtest/gtest.h>

#include "output/names/cover_name.h"

namespace {

// Artist, title, label, catalogue number, date, genre, style, the tracks'
// artists, names and numbers, and the picture.
Release sample_release() {
  Release release{"A",         "T",         "L",          "C", "12 Mar 1999", "Rock", "Punk",
                  {"B", "B2"}, {"N", "N2"}, {"A1", "A2"}, ""};
  release.picture_url = "http://images.example/R-1.jpg";
  return release;
}

std::string expand(std::string text, const Release& release = sample_release(), int track = 0) {
  expand_template(text, release, track);
  return text;
}

TEST(Template, EachPlaceholderTakesItsFieldAndNothingElseIsExpanded) {
  const Release sample = sample_release();
  Release no_catalog = sample;
  no_catalog.catalog_number.clear();
  Release no_tracks = sample;
  no_tracks.track_artists.clear();
  no_tracks.track_names.clear();
  no_tracks.track_numbers.clear();
  Release slashed = sample;
  slashed.artist = "AC/DC /2";
  const struct {
    const char* text;
    const Release& release;
    int track;
    const char* expanded;
  } cases[] = {
      {"/6 /7 /8", sample, 1, "B2 N2 A2"},
      {"/1 - /2", sample, 0, "A - T"},
      // A bracket pair of nothing but empty fields and blanks goes, with one
      // blank beside it (after it, else before it); any text in it keeps it.
      {"[/4] /1 - /2", no_catalog, 0, "A - T"},
      {"[/4] /1 - /2", sample, 0, "[C] A - T"},
      {"/1 - /2 [/4]", no_catalog, 0, "A - T"},
      {"/1 (/4) - /2", no_catalog, 0, "A - T"},
      {"/1 { /4 /4 }", no_catalog, 0, "A"},
      {"/1 ([/4]) /2", no_catalog, 0, "A T"},
      {"[/4]/1", no_catalog, 0, "A"},
      {"[/4 /3] /1", no_catalog, 0, "[ L] A"},
      {"[#/4] /1", no_catalog, 0, "[#] A"},
      {"[] /1", no_catalog, 0, "[] A"},
      {"[/4) /1", no_catalog, 0, "[) A"},
      {"/1 [/]", no_catalog, 0, "A ["},
      // The number is read like atoi, but only two characters go.
      {"x/12y", sample, 0, "x2y"},
      {"x/0y", sample, 0, "xy"},
      {"x/zy", sample, 0, "xy"},
      {"AC/DC", sample, 0, "ACC"},
      {"x/ 5y", sample, 0, "x12 Mar 19995y"},
      {"x/-1y", sample, 0, "x1y"},
      {"x/99999999999999999999y", sample, 0, "x9999999999999999999y"},
      {"/1/", sample, 0, "A/"},                 // the slash goes later, in safe_file_name
      {"/1 - /2", slashed, 0, "AC/DC /2 - T"},  // inserted values are not expanded again
      {"plain name", sample, 0, "plain name"},
      {"", sample, 0, ""},
      // Track fields of a missing track are empty.
      {"[/6|/7|/8] /1", no_tracks, 0, "[||] A"},
      {"/7", sample, 5, ""},
      {"/7", sample, -1, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(expand(c.text, c.release, c.track), c.expanded) << c.text << " " << c.track;
  const char* const fields[] = {"A", "T", "L", "C", "12 Mar 1999", "B", "N", "A1", "Punk"};
  for (int i = 0; i < 9; ++i)
    EXPECT_EQ(expand("/" + std::to_string(i + 1), sample, 0), fields[i]) << "/" << i + 1;
}

// The cover takes the picture's own name, else the title's; either is made
// safe as a name in the album's folder.
TEST(CoverName, ThePicturesOwnNameElseTheTitle) {
  Release release = sample_release();
  release.picture_url = "http://images.example/R/R\x01-1.jpg";
  EXPECT_EQ(cover_file_name(release), "R-1.jpg");
  release.picture_url = "R-1.jpg";
  release.title = "A/B: C?";
  EXPECT_EQ(cover_file_name(release), "AB; C.jpg");
}

}  // namespace
