// The lookup from search term to release, against the stand-in database
// reached through the proxy, as the program reaches the real one.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/search.h"
#include "model/run_state.h"
#include "resources/resource_ids.h"
#include "tests/support/canned_http_server.h"
#include "tests/support/mp3_maker.h"
#include "tests/support/run_state_reset.h"
#include "tests/support/scripted_front_end.h"
#include "tests/support/standin_server.h"
#include "web/hosts.h"
#include "web/http_client.h"
#include "web/release_page.h"

using test_support::ScopedProxy;
using test_support::StandinServer;

namespace {

const std::string kBase = kDatabaseBase;
const std::string kAgentField = " HTTP/1.0 KAVORN(0.9/;p)";

const char kResultPage[] = "Select search result term";

class Lookup : public ::testing::Test {
 protected:
  explicit Lookup(const std::vector<std::string>& server_args = {}) : server_(server_args) {
    test_support::reset_run_state();
    // The search-result page takes the first result.
    ui_.script = {test_support::select_line(kIdResultList, 0), test_support::press(kIdNext)};
  }

  bool result_page_shown() const { return !ui_.drawn(kResultPage).empty(); }

  // What the release page of the wizard does with the chosen row.
  Release read_release(size_t row) {
    const auto client = std::make_unique<HttpClient>();
    Release release;
    if (client->Request(kBase + g_rurl.at(row), HttpClient::kMethodGet, kUserAgent)) {
      read_release_page(client->BodyText(), release);
    }
    return release;
  }

  StandinServer server_;
  ScopedProxy proxy_{server_.proxy_url()};
  test_support::ScriptedFrontEnd ui_;
};

class StalledLookup : public Lookup {
 protected:
  StalledLookup() : Lookup({"--fault", "stall"}) {}
};

class HugeReleasePage : public Lookup {
 protected:
  HugeReleasePage() : Lookup({"--fault", "huge-page", "--fault-path", "/release/"}) {}
};

std::vector<std::string> titles() {
  std::vector<std::string> out;
  for (const ReleaseEntry& entry : g_collection) out.push_back(entry.title);
  return out;
}

}  // namespace

TEST_F(Lookup, SearchChooseAnArtistAndReadARelease) {
  search_database(nullptr, "Harbour Lights");
  EXPECT_TRUE(ui_.boxes.empty());
  EXPECT_FALSE(g_cancelled);
  EXPECT_FALSE(g_direct_page);
  EXPECT_TRUE(result_page_shown());
  EXPECT_EQ(g_rurl, (std::vector<std::string>{"/release/100101", "/release/100102",
                                              "/release/100103", "/release/100106"}));
  EXPECT_EQ(titles(), (std::vector<std::string>{"Night Ferry", "Tidal Lines EP",
                                                "Night Ferry Remixes", "Split Tides"}));
  EXPECT_EQ(g_collection[0].format, "CD, Album");
  EXPECT_EQ(g_collection[0].label, "Tidewater Records");

  const Release release = read_release(0);
  EXPECT_EQ(release.artist, "Harbour Lights");
  EXPECT_EQ(release.title, "Night Ferry");
  EXPECT_EQ(release.catalog_number, "HL 007");
  EXPECT_EQ(release.style, "Downtempo,Ambient");
  EXPECT_EQ(release.track_names.size(), 12u);
  EXPECT_EQ(release.track_numbers.back(), "12");

  EXPECT_EQ(
      server_.request_log(),
      (std::vector<std::string>{"GET " + kBase + "/search?type=all&q=Harbour+Lights" + kAgentField,
                                "GET " + kBase + "/artist/Harbour+Lights" + kAgentField,
                                "GET " + kBase + "/release/100101" + kAgentField}));

  // The cover is fetched whole from the image host.
  std::string cover;
  const auto client = std::make_unique<HttpClient>();
  ASSERT_TRUE(client->RequestWhole(release.picture_url, kUserAgent, cover));
  EXPECT_EQ(cover,
            test_support::read_file(PLINTH_SOURCE_DIR "/tools/catalogue/covers/R-100101.jpg"));
}

TEST_F(Lookup, AccentedTermFindsItsArtist) {
  search_database(nullptr, "C\xE9leste V\xE5rdahl");
  ASSERT_FALSE(server_.request_log().empty());
  EXPECT_EQ(server_.request_log()[0],
            "GET " + kBase + "/search?type=all&q=C%C3%A9leste+V%C3%A5rdahl" + kAgentField);
  EXPECT_EQ(g_rurl, std::vector<std::string>{"/release/100105"});
  const Release release = read_release(0);
  EXPECT_EQ(release.artist, "C\xE9leste V\xE5rdahl");
  EXPECT_EQ(release.track_names.at(1), "Caf\xE9 Nocturne");
}

TEST_F(Lookup, ChosenLabelLoadsItsReleasesWithArtists) {
  search_database(nullptr, "Lumen Lane");
  EXPECT_TRUE(g_label);
  EXPECT_EQ(g_rurl, (std::vector<std::string>{"/release/100104", "/release/100106"}));
  ASSERT_EQ(g_collection.size(), 2u);
  EXPECT_EQ(g_collection[0].artist, "Marta Vey (2)");
}

TEST_F(Lookup, TypedReleaseAddressIsReadWithoutASearch) {
  search_database(nullptr, kBase + "/release/100106");
  EXPECT_EQ(server_.request_log(),
            std::vector<std::string>{"GET " + kBase + "/release/100106" + kAgentField});
  EXPECT_FALSE(result_page_shown());
  EXPECT_TRUE(g_direct_page);
  EXPECT_FALSE(g_label);
  EXPECT_FALSE(g_has_releases);
  EXPECT_TRUE(g_rurl.empty());

  Release release;
  read_release_page(g_page_text, release);
  EXPECT_EQ(release.artist, "Harbour Lights and Marta Vey (2)");
  EXPECT_EQ(release.title, "Split Tides");
  EXPECT_EQ(release.track_artists.at(1), "Marta Vey (2)");
}

TEST_F(Lookup, TypedArtistAddressLoadsItsDiscographyWithOneRequest) {
  search_database(nullptr, kBase + "/artist/Marta+Vey+%282%29");
  EXPECT_EQ(server_.request_log().size(), 1u);
  EXPECT_TRUE(g_direct_page);
  EXPECT_FALSE(g_label);
  EXPECT_TRUE(g_has_releases);
  EXPECT_EQ(g_rurl, (std::vector<std::string>{"/release/100104", "/release/100106"}));
  EXPECT_EQ(titles(), (std::vector<std::string>{"Paper Moons", "Split Tides"}));
}

TEST_F(Lookup, TypedLabelAddressLoadsItsDiscographyWithOneRequest) {
  search_database(nullptr, kBase + "/label/Tidewater+Records");
  EXPECT_EQ(server_.request_log().size(), 1u);
  EXPECT_TRUE(g_direct_page);
  EXPECT_TRUE(g_label);
  EXPECT_EQ(g_rurl.size(), 5u);
  EXPECT_EQ(g_collection.size(), 5u);
}

TEST_F(Lookup, SearchWithoutMatchesEndsTheRun) {
  search_database(nullptr, "Nothing Like This");
  EXPECT_EQ(ui_.box_texts(),
            std::vector<std::string>{"Could not find any matches for your search terms."});
  EXPECT_TRUE(g_cancelled);
  EXPECT_FALSE(result_page_shown());
}

TEST_F(StalledLookup, StalledDatabaseIsGivenUpOn) {
  search_database(nullptr, "Harbour Lights");
  EXPECT_EQ(ui_.box_texts(), std::vector<std::string>{"Could not connect to web server"});
  EXPECT_TRUE(g_cancelled);
}

TEST_F(HugeReleasePage, OverlongReleasePageIsReadFromItsFirstPart) {
  search_database(nullptr, "Tomas Quill");
  ASSERT_EQ(g_rurl, std::vector<std::string>{"/release/100107"});
  const Release release = read_release(0);
  EXPECT_EQ(release.title, "Lowlands");
  EXPECT_EQ(release.track_numbers, (std::vector<std::string>{"A", "B"}));
}
