#include "web/search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/pages.h"
#include "app/run_state.h"
#include "tests/support/canned_http_server.h"
#include "tests/support/recording_front_end.h"
#include "tests/support/run_state_reset.h"
#include "web/hosts.h"

using test_support::CannedAnswer;
using test_support::CannedHttpServer;
using test_support::request_line;
using test_support::ScopedProxy;

namespace {

// What the stand-in search-result page does when it is shown.
struct ResultChoice {
  int pick = 0;         // index into g_rurl; -1 ends without a result
  bool cancel = false;  // Cancel or close
  int shown = 0;
  std::vector<std::string> offered;
};
ResultChoice g_choice;

std::string search_page(const std::vector<std::string>& links) {
  std::string page =
      "<html><head><title>Search</title></head><body><h1>Search results</h1><ul>\n";
  for (const std::string& link : links) {
    page += "<li><a href=\"" + link + "\">" + link.substr(link.rfind('/') + 1) + "</a></li>\n";
  }
  return page + "</ul></body></html>\n";
}

std::string artist_page(const std::string& name) {
  return "<html><head><title>" + name + "</title></head><body><h1>" + name +
         "</h1>\n<h2>Releases:</h2><table>\n"
         "<tr><td><a href=\"/release/101\">First Light</a> (CD, Album)</td>"
         "<td><a href=\"/label/Quiet+Harbour\">Quiet Harbour</a></td></tr>\n"
         "<tr><td><a href=\"/release/102\">Second Tide</a> (LP)</td>"
         "<td><a href=\"/label/Quiet+Harbour\">Quiet Harbour</a></td></tr>\n"
         "</table></body></html>\n";
}

std::string label_page(const std::string& name) {
  return "<html><head><title>" + name + "</title></head><body><h1>" + name +
         "</h1>\n<h2>Discography:</h2><table>\n"
         "<tr><td><a href=\"/artist/Mira+Vell\">Mira Vell</a></td>"
         "<td><a href=\"/release/201\">Lanterns</a> (12\")</td></tr>\n"
         "</table></body></html>\n";
}

const std::string kBase = kDatabaseBase;

// Every test searches through a canned database reached as the proxy.
class SearchDatabase : public ::testing::Test {
 protected:
  SearchDatabase() {
    test_support::reset_run_state();
    g_choice = ResultChoice();
  }

  std::vector<std::string> request_lines() const {
    std::vector<std::string> lines;
    for (const std::string& head : server_.requests()) lines.push_back(request_line(head));
    return lines;
  }

  // Set before the search: answers by the request target.
  std::string search_answer_ = search_page({"/artist/Mira+Vell", "/label/Quiet+Harbour"});
  CannedHttpServer server_{[this](const std::string& head) {
    const std::string line = request_line(head);
    if (line.find(" " + kBase + "/search?") != std::string::npos) {
      return CannedAnswer::Page(200, search_answer_);
    }
    if (line.find("/artist/") != std::string::npos) {
      return CannedAnswer::Page(200, artist_page("Mira Vell"));
    }
    if (line.find("/label/") != std::string::npos) {
      return CannedAnswer::Page(200, label_page("Quiet Harbour"));
    }
    return CannedAnswer::Page(404, "<html><body>Not found</body></html>");
  }};
  ScopedProxy proxy_{server_.url("")};
  test_support::RecordingFrontEnd boxes_;
};

}  // namespace

// The search-result page of the wizard, as these tests need it.
void show_search_result_page() {
  ++g_choice.shown;
  g_choice.offered = g_rurl;
  g_result_url.clear();
  if (g_choice.cancel) {
    g_cancelled = true;
    return;
  }
  if (g_choice.pick < 0) return;
  const std::string& link = g_rurl.at(static_cast<size_t>(g_choice.pick));
  g_result_url = kBase + link;
  g_label = link.compare(0, 7, "/label/") == 0;
}

TEST(SearchPage, ArtistsFirstThenLabelsEachOnce) {
  const std::string page = search_page({"/label/Quiet+Harbour", "/artist/Mira+Vell",
                                        "/artist/Oskar+Dunn", "/artist/Mira+Vell",
                                        "/label/Quiet+Harbour", "/label/Tin+Roof"});
  std::vector<std::string> links;
  extract_search_results(page, links);
  EXPECT_EQ(links, (std::vector<std::string>{"/artist/Mira+Vell", "/artist/Oskar+Dunn",
                                             "/label/Quiet+Harbour", "/label/Tin+Roof"}));
}

TEST(SearchPage, OnlyListItemLinksCount) {
  const std::string page =
      "Search results <a href=\"/artist/Not+Listed\">x</a>"
      "<li><a href=\"/release/9\">r</a></li><li><a href=\"/artist/Listed\">y</a></li>";
  std::vector<std::string> links;
  extract_search_results(page, links);
  EXPECT_EQ(links, std::vector<std::string>{"/artist/Listed"});
}

TEST(SearchPage, CutLinkRunsToThePageEnd) {
  std::vector<std::string> links;
  extract_search_results("<li><a href=\"/artist/Mira+V", links);
  EXPECT_EQ(links, std::vector<std::string>{"/artist/Mira+V"});
  links.clear();
  extract_search_results("<li><a href=\"", links);
  extract_search_results("<li><a href=\"/label/", links);
  EXPECT_EQ(links, std::vector<std::string>{"/label/"});
}

TEST(SearchPage, RecognisedByEitherHeading) {
  EXPECT_TRUE(is_search_result_page("<h1>Search results</h1>"));
  EXPECT_TRUE(is_search_result_page("<p>Your search for 'x' found nothing</p>"));
  EXPECT_FALSE(is_search_result_page("<h1>search Results</h1>"));
  EXPECT_FALSE(is_search_result_page(""));
}

TEST(SearchTerm, BlanksBecomePlusSigns) {
  EXPECT_EQ(encode_search_term("Mira Vell"), "Mira+Vell");
  EXPECT_EQ(encode_search_term("Mira  Vell"), "Mira++Vell");
}

TEST(SearchTerm, QueryCharactersAreEscaped) {
  EXPECT_EQ(encode_search_term("Rock & Roll"), "Rock+%26+Roll");
  EXPECT_EQ(encode_search_term("#1 + 50%"), "%231+%2B+50%25");
  EXPECT_EQ(encode_search_term("a\tb"), "a%09b");
}

TEST(SearchTerm, EightBitCharactersGoAsUtf8) {
  EXPECT_EQ(encode_search_term("Caf\xE9"), "Caf%C3%A9");
  EXPECT_EQ(encode_search_term("\x80uro"), "%E2%82%ACuro");
  EXPECT_EQ(encode_search_term("x\x7Fy"), "x%7Fy");
}

TEST_F(SearchDatabase, SendsTheEncodedTermAndLoadsTheChosenArtist) {
  search_database(nullptr, "Rock & Roll Caf\xE9");
  ASSERT_EQ(request_lines().size(), 2u);
  EXPECT_EQ(request_lines()[0],
            "GET " + kBase + "/search?type=all&q=Rock+%26+Roll+Caf%C3%A9 HTTP/1.0");
  EXPECT_EQ(request_lines()[1], "GET " + kBase + "/artist/Mira+Vell HTTP/1.0");
  EXPECT_EQ(g_choice.offered,
            (std::vector<std::string>{"/artist/Mira+Vell", "/label/Quiet+Harbour"}));
  EXPECT_FALSE(g_cancelled);
  EXPECT_FALSE(g_direct_page);
  EXPECT_FALSE(g_label);
  EXPECT_EQ(g_rurl, (std::vector<std::string>{"/release/101", "/release/102"}));
  ASSERT_EQ(g_collection.size(), 2u);
  EXPECT_EQ(g_collection[0].title, "First Light");
  EXPECT_EQ(g_collection[0].format, "CD, Album");
  EXPECT_EQ(g_collection[0].label, "Quiet Harbour");
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(SearchDatabase, ChosenLabelIsReadAsALabelPage) {
  g_choice.pick = 1;
  search_database(nullptr, "harbour");
  EXPECT_TRUE(g_label);
  EXPECT_EQ(g_rurl, std::vector<std::string>{"/release/201"});
  ASSERT_EQ(g_collection.size(), 1u);
  EXPECT_EQ(g_collection[0].artist, "Mira Vell");
  EXPECT_EQ(g_collection[0].format, "12\"");
}

TEST_F(SearchDatabase, OneResultStillShowsTheChoice) {
  search_answer_ = search_page({"/artist/Mira+Vell"});
  search_database(nullptr, "mira");
  EXPECT_EQ(g_choice.shown, 1);
  EXPECT_EQ(g_rurl.size(), 2u);
}

TEST_F(SearchDatabase, AddressTermIsFetchedWithoutASearch) {
  search_database(nullptr, kBase + "/artist/Mira+Vell");
  EXPECT_EQ(request_lines(),
            std::vector<std::string>{"GET " + kBase + "/artist/Mira+Vell HTTP/1.0"});
  EXPECT_EQ(g_choice.shown, 0);
  EXPECT_TRUE(g_direct_page);
  EXPECT_FALSE(g_label);
  EXPECT_TRUE(g_has_releases);
  EXPECT_EQ(g_page_text, artist_page("Mira Vell"));
  EXPECT_EQ(g_rurl, (std::vector<std::string>{"/release/101", "/release/102"}));
  EXPECT_EQ(g_collection.size(), 2u);
}

TEST_F(SearchDatabase, DirectLabelPageIsReadWithoutASecondRequest) {
  search_database(nullptr, kBase + "/label/Quiet+Harbour");
  EXPECT_EQ(request_lines().size(), 1u);
  EXPECT_TRUE(g_direct_page);
  EXPECT_TRUE(g_label);
  EXPECT_EQ(g_rurl, std::vector<std::string>{"/release/201"});
}

TEST_F(SearchDatabase, DirectPageOfAnotherKindIsLeftForTheReleaseReader) {
  search_database(nullptr, kBase + "/release/101");
  EXPECT_EQ(request_lines().size(), 1u);
  EXPECT_TRUE(g_direct_page);
  EXPECT_FALSE(g_label);
  EXPECT_FALSE(g_has_releases);
  EXPECT_EQ(g_page_text, "<html><body>Not found</body></html>");
  EXPECT_TRUE(g_rurl.empty());
  EXPECT_FALSE(g_cancelled);
}

TEST_F(SearchDatabase, BaseAddressInsideTheTermIsSearchedAsText) {
  search_database(nullptr, "see " + kBase + "/artist/x");
  ASSERT_FALSE(request_lines().empty());
  EXPECT_EQ(request_lines()[0],
            "GET " + kBase + "/search?type=all&q=see+http://www.discogs.com/artist/x HTTP/1.0");
}

TEST_F(SearchDatabase, NoResultsEndsTheRun) {
  search_answer_ = search_page({"/release/5"});
  search_database(nullptr, "nothing");
  EXPECT_EQ(boxes_.texts(),
            std::vector<std::string>{"Could not find any matches for your search terms."});
  EXPECT_TRUE(g_cancelled);
  EXPECT_TRUE(g_rurl.empty());
  EXPECT_EQ(g_choice.shown, 0);
}

TEST_F(SearchDatabase, CancelledChoiceEndsTheRunSilently) {
  g_choice.cancel = true;
  search_database(nullptr, "mira");
  EXPECT_TRUE(g_cancelled);
  EXPECT_TRUE(boxes_.boxes.empty());
  EXPECT_EQ(request_lines().size(), 1u);
}

TEST_F(SearchDatabase, ChoiceWithoutAResultLoadsNothing) {
  g_choice.pick = -1;
  search_database(nullptr, "mira");
  EXPECT_EQ(boxes_.texts(), std::vector<std::string>{"No search result was selected."});
  EXPECT_FALSE(g_cancelled);
  EXPECT_EQ(request_lines().size(), 1u);
  EXPECT_TRUE(g_collection.empty());
}

TEST_F(SearchDatabase, ChosenPageThatCannotBeFetchedKeepsTheResults) {
  const std::string page = search_page({"/artist/Gone"});
  CannedHttpServer split([&](const std::string& head) {
    if (request_line(head).find("/search?") != std::string::npos) {
      return CannedAnswer::Page(200, page);
    }
    return CannedAnswer::CloseAtOnce();
  });
  ScopedProxy through(split.url(""));
  search_database(nullptr, "gone");
  EXPECT_EQ(g_rurl, std::vector<std::string>{"/artist/Gone"});
  EXPECT_TRUE(g_collection.empty());
  EXPECT_FALSE(g_cancelled);
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST(SearchDatabaseOffline, NothingAtTheProxyShowsTheConnectionError) {
  test_support::reset_run_state();
  std::string dead_address;
  {
    CannedHttpServer gone([](const std::string&) { return CannedAnswer::Page(200, "x"); });
    dead_address = gone.url("");
  }
  ScopedProxy proxy(dead_address);
  test_support::RecordingFrontEnd boxes;
  search_database(nullptr, "mira");
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Could not connect to web server");
  EXPECT_EQ(boxes.boxes[0].caption, "Error!");
  EXPECT_EQ(boxes.boxes[0].style & 0xF0, platform::kBoxIconWarning);
  EXPECT_FALSE(boxes.boxes[0].owned);
  EXPECT_TRUE(g_cancelled);
}
