#include "app/search.h"

#include <memory>

#include "app/api_lookup.h"
#include "app/error_box.h"
#include "app/token_offer.h"
#include "common/text.h"
#include "model/run_state.h"
#include "platform/codepage.h"
#include "platform/trace.h"
#include "web/discography.h"
#include "web/hosts.h"
#include "web/http_client.h"
#include "web/search_page.h"

namespace {

// Since the database put a bot check in front of its pages, they answer
// programs with 403 whatever they send.
const char kPagesRefused[] =
    "The database's web pages refuse programs (HTTP 403), so the search cannot be read from "
    "them. With a personal access token the program asks the database's API instead.";

// The artists and labels of a search-result page, for the user to choose from.
SearchOutcome take_search_results(platform::Window* owner, const std::string& page) {
  platform::trace("found a search page.\n");
  g_rurl.clear();
  extract_search_results(page, g_rurl);
  if (g_rurl.empty()) {
    error_box("Could not find any matches for your search terms.", owner);
    return SearchOutcome::kNoHits;
  }
  return SearchOutcome::kHits;
}

// A page that is not a list of results is the hit itself; it is read
// without being fetched again.
void take_direct_page(const std::string& page) {
  platform::trace("not a search page\n");
  g_direct_page = true;
  if (find_text(page, "Discography:", 0) >= 0) {
    g_label = true;
    platform::trace("g_label is true\n");
  } else {
    g_label = false;
    if (find_text(page, "Releases:", 0) >= 0) g_has_releases = true;
  }
  g_page_text = page;
  GetDiscogsCollection(g_result_url, g_label);
}

}  // namespace

SearchOutcome search_database(platform::Window* owner, std::string term) {
  const std::string base = kDatabaseBase;
  std::string address = base + kSearchPath;
  platform::trace("searchterm: %s\n", term.c_str());
  if (term.compare(0, base.size(), base) == 0) {
    platform::trace("found url in searchterm!\n");
    address = term;
  } else {
    address += encode_search_term(term);
  }
  platform::trace("searching: %s\n", address.c_str());

  std::string page;
  {
    const auto client = std::make_unique<HttpClient>();
    if (!client->Request(address, HttpClient::kMethodGet, kUserAgent)) {
      lookup_failure_box("Could not connect to web server", owner);
      g_cancelled = true;
      return SearchOutcome::kFailed;
    }
    if (client->Status() == 403) {
      // With a token set on the spot the search goes to the API instead.
      if (offer_new_token(owner, kPagesRefused)) return api_search_database(owner, term);
      g_run.could_not_go_on = true;
      g_cancelled = true;
      return SearchOutcome::kFailed;
    }
    page = client->BodyText();
  }
  if (is_search_result_page(page)) return take_search_results(owner, page);
  take_direct_page(page);
  return SearchOutcome::kPage;
}

void load_search_result(platform::Window* owner) {
  if (g_result_url.size() < 2) {
    error_box("No search result was selected.", owner);
    return;
  }
  g_direct_page = false;
  GetDiscogsCollection(g_result_url, g_label);
}
