#include "web/search_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string search_page(const std::vector<std::string>& links) {
  std::string page = "<html><head><title>Search</title></head><body><h1>Search results</h1><ul>\n";
  for (const std::string& link : links) {
    page += "<li><a href=\"" + link + "\">" + link.substr(link.rfind('/') + 1) + "</a></li>\n";
  }
  return page + "</ul></body></html>\n";
}

TEST(SearchPage, ArtistsFirstThenLabelsEachOnce) {
  const std::string page =
      search_page({"/label/Quiet+Harbour", "/artist/Mira+Vell", "/artist/Oskar+Dunn",
                   "/artist/Mira+Vell", "/label/Quiet+Harbour", "/label/Tin+Roof"});
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

}  // namespace
