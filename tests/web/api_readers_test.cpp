#include "web/api/api_readers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "web/api/api_address.h"
#include "web/api/api_client.h"
#include "web/api/api_release_hits.h"

using ::testing::ElementsAre;
using ::testing::FieldsAre;

namespace {

// Single quotes stand for double quotes, to keep the documents readable.
std::string json(std::string text) {
  for (char& c : text) {
    if (c == '\'') c = '"';
  }
  return text;
}

std::string credit(const std::string& name, const std::string& anv, const std::string& join) {
  return "{'name': '" + name + "', 'anv': '" + anv + "', 'join': '" + join + "', 'id': 1}";
}

TEST(ApiSearch, ArtistsBeforeLabelsEachOnce) {
  std::vector<ApiSearchHit> hits;
  ASSERT_TRUE(
      read_api_search(json("{'results': [{'type': 'label', 'id': 7, 'title': 'Lumen Lane'},"
                           " {'type': 'release', 'id': 8, 'title': 'X - Y'},"
                           " {'type': 'artist', 'id': 3, 'title': 'Marta Vey (2)'},"
                           " {'type': 'artist', 'id': '3', 'title': 'Marta Vey (2)'},"
                           " {'type': 'artist', 'id': -4, 'title': 'No Id'},"
                           " {'type': 'artist', 'id': '12a', 'title': 'Bad Id'},"
                           " {'type': 'artist', 'id': '12345678901234567890', 'title': 'Long Id'},"
                           " {'type': 'label', 'id': '1234567890123456789', 'title': 'Longest Id'},"
                           " {'type': 'artist', 'id': 5, 'title': ''}]}"),
                      hits));
  ASSERT_TRUE(read_api_search(json("{'results': [{'type': 'artist', 'id': 9, 'title': 'Persuader, "
                                   "The'}, {'type': 'label', 'id': 7, 'title': 'Lumen Lane'}]}"),
                              hits));
  // Names kept in sort form are shown as people say them.
  EXPECT_THAT(
      hits, ElementsAre(FieldsAre(false, "3", "Marta Vey (2)"),
                        FieldsAre(false, "9", "The Persuader"), FieldsAre(true, "7", "Lumen Lane"),
                        FieldsAre(true, "1234567890123456789", "Longest Id")));
}

// Documents that are no answer of the API: no reader finds anything in
// them, and those that are no object at all fail the read.
TEST(ApiReaders, UnreadableDocumentsReadAsNothing) {
  const struct {
    const char* text;
    bool object, with_releases;
  } documents[] = {{"", false, false},
                   {"{", false, false},
                   {"[1,2]", false, false},
                   {"{'results': 3}", true, false},
                   {"\"\xC3\"", false, false},
                   {"null", false, false},
                   {"{'releases': [{'id': {}}]}", true, true}};
  for (const auto& d : documents) {
    SCOPED_TRACE(d.text);
    std::vector<ReleaseHit> release_hits;
    std::vector<ApiSearchHit> hits;
    ApiDiscographyPage page;
    Release release;
    EXPECT_FALSE(read_api_release_hits(json(d.text), release_hits));
    EXPECT_FALSE(read_api_search(json(d.text), hits));
    EXPECT_EQ(read_api_discography(json(d.text), true, page), d.with_releases);
    EXPECT_EQ(page.entries.size(), 0u);
    EXPECT_EQ(read_api_release(json(d.text), release), d.object);
    EXPECT_EQ(release.track_names.size(), 0u);
    EXPECT_EQ(release.artist, "");
    EXPECT_EQ(read_api_master(json(d.text)), "");
  }
}

// A master stands for its main release and shows its year for a format.
TEST(ApiDiscography, MainRolesOnArtistsAndMastersAsMainRelease) {
  const std::string doc = json(
      "{'pagination': {'page': 2, 'pages': 3}, 'releases': ["
      "{'id': 11, 'type': 'master', 'main_release': 12, 'title': 'Best Of', 'role': 'Main',"
      " 'artist': 'A', 'year': 1999},"
      "{'id': 13, 'type': 'release', 'title': 'Night', 'format': 'CD, Album', 'label': 'Tide',"
      " 'role': 'Main', 'artist': 'A', 'year': 2005},"
      "{'id': 14, 'type': 'release', 'title': 'Guest', 'role': 'TrackAppearance'},"
      "{'id': 16, 'type': 'master', 'main_release': 17, 'title': 'Undated', 'role': 'Main',"
      " 'year': 0},"
      "{'id': 15, 'type': 'release', 'title': 'Remix', 'role': 'Remix'}]}");
  ApiDiscographyPage artist;
  ASSERT_TRUE(read_api_discography(doc, false, artist));
  EXPECT_EQ(artist.page, 2);
  EXPECT_EQ(artist.pages, 3);
  EXPECT_THAT(artist.release_ids, ElementsAre("12", "13", "17"));
  // artist, title, label, format, year
  EXPECT_THAT(artist.entries, ElementsAre(FieldsAre("", "Best Of", "", "1999", "1999"),
                                          FieldsAre("", "Night", "Tide", "CD, Album", "2005"),
                                          FieldsAre("", "Undated", "", "", "")));

  ApiDiscographyPage label;
  ASSERT_TRUE(read_api_discography(
      json("{'releases': [{'id': 21, 'artist': 'Marta Vey (2)', 'title': 'Paper Moons',"
           " 'format': 'CD, Album', 'catno': 'LL 031', 'year': 2007}]}"),
      true, label));
  EXPECT_THAT(label.release_ids, ElementsAre("21"));
  EXPECT_THAT(label.entries,
              ElementsAre(FieldsAre("Marta Vey (2)", "Paper Moons", "", "CD, Album", "2007")));
}

TEST(ApiCredits, NameVariationsStarsAndJoins) {
  const struct {
    std::vector<ApiCredit> credits;
    const char* joined;
  } cases[] = {
      {{{"Me Company", "Me Co", ""}}, "Me Co"},
      {{{"Harbour Lights*", "", ""}}, "Harbour Lights"},
      {{{"A", "B*", ","}, {"C", "", ""}}, "B, C"},
      {{{"A", "", "Feat."}, {"C (2)", "", ""}}, "A Feat. C (2)"},
      {{{"A", "", ""}, {"B", "", "&"}, {"C", "", ","}}, "A and B & C"},
      {{{"", "", ","}, {"B", "", ""}}, "B"},
      {{{"Persuader, The", "", "&"}, {"Sentinel, The (2)*", "", ""}},
       "The Persuader & The Sentinel (2)"},
      {{}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(join_credits(c.credits), c.joined);
}

// Only a trailing ", The", ", A" or ", An", before a numbered suffix or not,
// is a sort form.
TEST(ApiCredits, SortFormsTurnedBack) {
  const std::pair<const char*, const char*> cases[] = {
      {"Persuader, The", "The Persuader"},
      {"Sentinel, The (2)", "The Sentinel (2)"},
      {"Band, A", "A Band"},
      {"Orchestra, An (12)", "An Orchestra (12)"},
      {"Earth, Wind & Fire", "Earth, Wind & Fire"},
      {"Crosby, Stills & Nash", "Crosby, Stills & Nash"},
      {"Band, the", "Band, the"},
      {"Band, Then", "Band, Then"},
      {"Band, The (live)", "Band, The (live)"},
      {"Band, The ()", "Band, The ()"},
      {", The", ", The"},
      {"The", "The"},
  };
  for (const auto& [name, shown] : cases) EXPECT_EQ(display_form(name), shown) << name;
}

TEST(ApiRelease, FillsTheRecordThePageReaderFills) {
  const std::string doc = json(
      "{'title': 'Split Tides', 'released': '2005-03-00', 'year': 2005,"
      " 'artists': [" +
      credit("Harbour Lights", "", ",") + ", " + credit("Marta Vey (2)", "M. Vey*", "") +
      "],"
      " 'labels': [{'name': 'Lumen Lane', 'catno': 'LL 040'}, {'name': 'Other', 'catno': 'O'}],"
      " 'genres': ['Electronic', 'Folk, World, & Country'], 'styles': ['Drum n Bass', ' ', 'Pop'],"
      " 'images': [{'type': 'secondary', 'uri': 'https://i.example/a.jpeg'},"
      "            {'type': 'primary', 'uri': 'https://i.example/b.jpeg'}],"
      " 'tracklist': ["
      "  {'position': '', 'type_': 'heading', 'title': 'Side A'},"
      "  {'position': 'A1', 'type_': 'track', 'title': 'Shoreline (Remix: Someone) (Edit)'},"
      "  {'position': '', 'type_': 'index', 'title': 'Suite', 'sub_tracks': ["
      "    {'position': 'A2a', 'type_': 'track', 'title': 'Pr\\u00e9lude'},"
      "    {'position': 'A2b', 'type_': 'track', 'title': '\\u591c\\u660e\\u3051', 'artists': [" +
      credit("\\u4e45\\u9060\\u30df\\u30ca\\u30c8", "", "") +
      "]}]},"
      "  {'position': 'B1', 'type_': 'index', 'title': 'Lone\\u0085Index\\u00b0'},"
      "  {'position': 'B2', 'title': '\\u0085No Type\\n'}]}");
  Release release;
  ASSERT_TRUE(read_api_release(doc, release));
  EXPECT_EQ(release.artist, "Harbour Lights, M. Vey");
  EXPECT_EQ(release.title, "Split Tides");
  EXPECT_EQ(release.label, "Lumen Lane");
  EXPECT_EQ(release.catalog_number, "LL 040");
  EXPECT_EQ(release.release_date, "2005-03");
  EXPECT_EQ(release.genre, "Electronic,Folk,World,&Country");
  EXPECT_EQ(release.style, "DrumnBass,Pop");
  EXPECT_EQ(release.picture_url, "https://i.example/b.jpeg");
  EXPECT_THAT(release.track_numbers, ElementsAre("A1", "A2a", "A2b", "B1", "B2"));
  // The Japanese names are carried whole, as the code page's escapes
  // (octal \201 is their lead byte 0x81); a C1 control becomes a blank.
  const std::string credited = "Harbour Lights, M. Vey";
  EXPECT_THAT(release.track_artists,
              ElementsAre(credited, credited, "\2014e45;\2019060;\20130df;\20130ca;\20130c8;",
                          credited, credited));
  EXPECT_THAT(release.track_names,
              ElementsAre("Shoreline", "Pr\xE9lude", "\201591c;\201660e;\2013051;",
                          "Lone Index\xB0", "No Type"));
}

TEST(ApiRelease, DatesPicturesAndCatalogueNumbers) {
  const struct {
    const char* fields;
    const char* date;
    const char* picture;
    const char* catalog_number;
  } cases[] = {
      {"'released': '2005-03-14', 'year': 2005", "2005-03-14", "", ""},
      {"'released': '2019-00-00', 'year': 2019", "2019", "", ""},
      {"'released': '', 'year': 1987", "1987", "", ""},
      {"'year': 0", "", "", ""},
      {"'images': [{'type': 'secondary', 'uri': 'http://x/1.jpg'}, {'type': 'secondary',"
       " 'uri': 'http://x/2.jpg'}]",
       "", "http://x/1.jpg", ""},
      {"'images': [{'type': 'primary', 'uri': ''}, {'type': 'secondary', 'uri': 'http://x/2.jpg'}]",
       "", "http://x/2.jpg", ""},
      // "none" is the database's word for no catalogue number.
      {"'labels': [{'name': 'Not On Label', 'catno': 'none'}]", "", "", ""},
      {"'labels': [{'name': 'Not On Label', 'catno': ' NONE '}]", "", "", ""},
      {"'labels': [{'name': 'L', 'catno': 'none 2'}]", "", "", "none 2"},
      {"'labels': [{'name': 'L', 'catno': 'SK032'}]", "", "", "SK032"},
  };
  for (const auto& c : cases) {
    Release release;
    ASSERT_TRUE(read_api_release(json(std::string("{") + c.fields + "}"), release)) << c.fields;
    EXPECT_EQ(release.release_date, c.date) << c.fields;
    EXPECT_EQ(release.picture_url, c.picture) << c.fields;
    EXPECT_EQ(release.catalog_number, c.catalog_number) << c.fields;
  }
}

TEST(ApiMaster, MainRelease) {
  EXPECT_EQ(read_api_master(json("{'id': 5, 'main_release': 249504}")), "249504");
  EXPECT_EQ(read_api_master(json("{'id': 5}")), "");
}

}  // namespace

TEST(DatabaseAddress, TypedAddressesOfTheFourKinds) {
  const struct {
    const char* text;
    const char* kind;  // "" where the text is no address of the database
    const char* id;
  } cases[] = {
      {"https://www.discogs.com/release/249504-Rick-Astley-Never", "release", "249504"},
      {"http://discogs.com/master/96559", "master", "96559"},
      {"https://discogs.com/artist/72872-Rick-Astley", "artist", "72872"},
      {"http://www.discogs.com/label/895-RCA", "label", "895"},
      {"http://www.discogs.com/release/", "", ""},
      {"http://www.discogs.com/release/12x", "", ""},
      // Ids of up to 18 digits: any more could not be a number of the database.
      {"http://www.discogs.com/release/123456789012345678", "release", "123456789012345678"},
      {"http://www.discogs.com/release/1234567890123456789", "", ""},
      {"http://www.discogs.com/sell/release/12", "", ""},
      {"https://www.discogs.com.evil/release/12", "", ""},
      {"ftp://www.discogs.com/release/12", "", ""},
      {"Rick Astley", "", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    DatabaseAddress address;
    EXPECT_EQ(parse_database_address(c.text, address), *c.kind != 0);
    if (*c.kind == 0) continue;
    EXPECT_EQ(address.kind, c.kind);
    EXPECT_EQ(address.id, c.id);
  }
}

TEST(ApiClient, HeaderValuesAndQueryValues) {
  const std::string headers =
      "HTTP/1.1 429 Too Many Requests\r\nretry-after:  7 \r\nX-Discogs-Ratelimit-Remaining: 0\r\n";
  EXPECT_EQ(header_value(headers, "Retry-After"), "7");
  EXPECT_EQ(header_value(headers, "x-discogs-ratelimit-remaining"), "0");
  EXPECT_EQ(header_value(headers, "X-Discogs-Ratelimit"), "");
  // Program text: Windows-1252 with the code page's escape for what it lacks.
  EXPECT_EQ(api_query_value("Caf\xE9 & Bar+1"), "Caf%C3%A9%20%26%20Bar%2B1");
  EXPECT_EQ(api_query_value("a.b-c_d~e/f"), "a.b-c_d~e%2Ff");
  EXPECT_EQ(api_query_value("\2014e45;"), "%E4%B9%85");
}
