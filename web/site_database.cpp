#include "web/site_database.h"

#include <memory>

#include "common/text.h"
#include "platform/trace.h"
#include "web/discography.h"
#include "web/hosts.h"
#include "web/http_client.h"
#include "web/release_page.h"
#include "web/search_page.h"

namespace {

template <typename T>
Lookup<T> failed(LookupFailure kind, const std::string& what, int status = 0) {
  LookupError error = lookup_error(kind, what, status);
  error.from_pages = true;
  return ::failed<T>(error);
}

struct Page {
  LookupFailure failure = LookupFailure::kNone;  // kNone when a page came
  HttpFailure transfer;                          // how the request failed
  int status = 0;
  std::string text;
};

// The failure of a page that did not come.
template <typename T>
Lookup<T> failed(const Page& page, const std::string& what) {
  Lookup<T> lookup;
  lookup.failure = transfer_failure(page.transfer, what);
  lookup.failure.from_pages = true;
  return lookup;
}

// The page at the address, whatever its status: an error page is read as a
// page that holds nothing.
Page fetch_page(const std::string& address) {
  // The client holds two large buffers; keep them off the stack.
  const auto client = std::make_unique<HttpClient>();
  Page page;
  if (!client->Request(address, HttpClient::kMethodGet, kUserAgent)) {
    page.transfer = client->Failure();
    page.failure = transfer_failure(page.transfer, "").kind;
    return page;
  }
  page.status = client->Status();
  page.text = client->BodyText();
  return page;
}

Discography read_discography(const std::string& page, bool is_label) {
  Discography list;
  if (is_label) {
    parse_label_page(page, list.links, list.entries);
  } else {
    parse_artist_page(page, list.links, list.entries);
  }
  return list;
}

// A page that is not a list of results is the hit itself: a label's page
// (it has a discography), an artist's (it lists releases), else a release.
Found read_direct_page(const std::string& page) {
  platform::trace("not a search page\n");
  Found found;
  if (find_text(page, "Discography:", 0) >= 0) {
    platform::trace("g_label is true\n");
    found.kind = Found::kLabel;
    found.discography = read_discography(page, true);
  } else if (find_text(page, "Releases:", 0) >= 0) {
    found.kind = Found::kArtist;
    found.discography = read_discography(page, false);
  } else {
    found.kind = Found::kRelease;
    read_release_page(page, found.release);
  }
  return found;
}

// The search page or a typed address: a list of results, or the hit itself.
Lookup<Found> search_at(const std::string& address) {
  platform::trace("searching: %s\n", address.c_str());
  const Page page = fetch_page(address);
  if (page.failure != LookupFailure::kNone) return failed<Found>(page, "the search");
  // Since the database put a bot check in front of its pages, they answer
  // programs with 403 whatever they send.
  if (page.status == 403) return failed<Found>(LookupFailure::kRefused, "the search", 403);
  Lookup<Found> found;
  if (!is_search_result_page(page.text)) {
    found.value = read_direct_page(page.text);
    return found;
  }
  platform::trace("found a search page.\n");
  std::vector<std::string> links;
  extract_search_results(page.text, links);
  for (const std::string& link : links) {
    found.value.hits.push_back({link, "", find_text(link, "artist/", 0) == -1});
  }
  return found;
}

}  // namespace

bool SiteDatabase::is_address(const std::string& term) const {
  const std::string base = kDatabaseBase;
  return term.compare(0, base.size(), base) == 0;
}

Lookup<Found> SiteDatabase::resolve_address(const std::string& term) {
  platform::trace("found url in searchterm!\n");
  return search_at(term);
}

Lookup<Found> SiteDatabase::search(const std::string& term) {
  return search_at(std::string(kDatabaseBase) + kSearchPath + encode_search_term(term));
}

Lookup<Discography> SiteDatabase::list_releases(const SearchHit& hit) {
  const std::string address = std::string(kDatabaseBase) + hit.link;
  platform::trace(hit.is_label ? "label is true\n" : "label is false\n");
  const Page page = fetch_page(address);
  if (page.failure != LookupFailure::kNone) return failed<Discography>(page, hit.link);
  platform::trace("requesting %s\n", address.c_str());
  Lookup<Discography> list;
  list.value = read_discography(page.text, hit.is_label);
  platform::trace("GetDiscogsCollection:finished\n");
  return list;
}

Lookup<Release> SiteDatabase::read_release(const std::string& link) {
  const std::string address = std::string(kDatabaseBase) + link;
  platform::trace("requesting %s\n", address.c_str());
  const Page page = fetch_page(address);
  if (page.failure != LookupFailure::kNone) return failed<Release>(page, link);
  Lookup<Release> release;
  read_release_page(page.text, release.value);
  return release;
}

Lookup<std::vector<ReleaseHit>> SiteDatabase::find_releases(const ReleaseQuery&) {
  return failed<std::vector<ReleaseHit>>(LookupFailure::kNotOffered, "a search for releases");
}
