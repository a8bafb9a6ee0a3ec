#include "web/site/site_database.h"

#include <memory>

#include "common/text.h"
#include "platform/trace.h"
#include "web/hosts.h"
#include "web/http_client.h"
#include "web/site/discography.h"
#include "web/site/page_text.h"
#include "web/site/release_page.h"
#include "web/site/search_page.h"

namespace {

template <typename T>
Lookup<T> failed(LookupFailure kind, const std::string& what, int status = 0) {
  LookupError error = lookup_error(kind, what, status);
  error.from_pages = true;
  return ::failed<T>(error);
}

struct Page {
  LookupError failure;  // kind kNone when a page came
  int status = 0;
  std::string text;
};

// The page at the address; `what` names it for the user. An answer with an
// error status (the site's 404 or 500 page) is a failure too: read as a
// page it would hold nothing, and say nothing of why.
Page fetch_page(const std::string& address, const std::string& what) {
  // The client holds two large buffers; keep them off the stack.
  const auto client = std::make_unique<HttpClient>();
  Page page;
  if (!client->Request(address, HttpClient::kMethodGet, kUserAgent)) {
    page.failure = lookup_error_of(client->Failure(), what);
    page.failure.from_pages = true;
    return page;
  }
  page.status = client->Status();
  page.text = client->BodyText();
  if (page.status >= 400) {
    // Since the database put a bot check in front of its pages, they answer
    // programs with 403 whatever they send.
    page.failure.kind = page.status == 403   ? LookupFailure::kRefused
                        : page.status == 404 ? LookupFailure::kNotFound
                                             : LookupFailure::kBadStatus;
    page.failure.what = what;
    page.failure.status = page.status;
    page.failure.host = platform::url_host(address);
    page.failure.from_pages = true;
  }
  return page;
}

// "the artist page of Harbour Lights", as the link names it.
std::string hit_name(const SearchHit& hit) {
  std::string name = hit.link.substr(hit.link.find('/', 1) + 1);
  replace_char(name, '+', ' ');
  url_unescape(name);
  return std::string(hit.is_label ? "the label page of " : "the artist page of ") +
         page_text_in_code_page(name);
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
  const Page page = fetch_page(address, "the search");
  if (page.failure.kind != LookupFailure::kNone) return failed<Found>(page.failure);
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
  const Page page = fetch_page(address, hit_name(hit));
  if (page.failure.kind != LookupFailure::kNone) return failed<Discography>(page.failure);
  platform::trace("requesting %s\n", address.c_str());
  Lookup<Discography> list;
  list.value = read_discography(page.text, hit.is_label);
  platform::trace("GetDiscogsCollection:finished\n");
  return list;
}

Lookup<Release> SiteDatabase::read_release(const std::string& link) {
  const std::string address = std::string(kDatabaseBase) + link;
  platform::trace("requesting %s\n", address.c_str());
  const Page page = fetch_page(address, "the release page " + link);
  if (page.failure.kind != LookupFailure::kNone) return failed<Release>(page.failure);
  Lookup<Release> release;
  read_release_page(page.text, release.value);
  return release;
}

Lookup<std::vector<ReleaseHit>> SiteDatabase::find_releases(const ReleaseQuery&) {
  return failed<std::vector<ReleaseHit>>(LookupFailure::kNotOffered, "a search for releases");
}
