#include "app/api_lookup.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "app/api_source.h"
#include "app/error_box.h"
#include "app/match_release.h"
#include "app/token_offer.h"
#include "model/run_state.h"
#include "platform/codepage.h"
#include "platform/front_end.h"
#include "platform/http.h"
#include "platform/trace.h"
#include "platform/wait_notice.h"
#include "web/api_address.h"
#include "web/api_client.h"
#include "web/api_readers.h"
#include "web/hosts.h"

namespace {

// The database allows a burst of 429 waits this long in all before the run
// gives up.
constexpr int kMostSecondsWaited = 60;
// Fewer requests than this left in the rate window: pause a second first.
constexpr int kPaceBelow = 3;
// 10 pages of 100: the release page lists at most 1000 releases.
constexpr int kMostDiscographyPages = 10;
constexpr int kPerPage = 100;

// The wait says what it is for, and a window is drawn meanwhile.
void wait_seconds(int seconds, const std::string& why) {
  platform::WaitNotice notice(why);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  for (auto now = std::chrono::steady_clock::now(); now < end;
       now = std::chrono::steady_clock::now()) {
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(end - now, std::chrono::milliseconds(50)));
    notice.tick();
  }
}

void give_up(platform::Window* owner, const std::string& text) {
  lookup_failure_box(text, owner);
  g_cancelled = true;
}

// Keeps under the rate limit instead of running into it.
void pace() {
  if (g_run.api_requests_left < 0 || g_run.api_requests_left >= kPaceBelow) return;
  platform::trace("API: %d requests left in the window; pausing\n", g_run.api_requests_left);
  wait_seconds(1, "Keeping to the database's rate limit");
}

// Tells the user about the wait and waits; false when the waits so far and
// this one would pass the limit.
bool wait_for_rate_limit(platform::Window* owner, int wait, int& waited) {
  if (waited + wait > kMostSecondsWaited) {
    give_up(owner, "The database keeps asking to slow down (HTTP 429), even after waiting " +
                       std::to_string(waited) + " seconds. Please try again later.");
    return false;
  }
  // Said by the wait notice, which needs no answer: a box would stall a
  // script and the wait alike.
  const std::string text = "The database asked to slow down (HTTP 429). Waiting " +
                           std::to_string(wait) + (wait == 1 ? " second" : " seconds") +
                           " before asking again";
  platform::trace("%s\n", text.c_str());
  wait_seconds(wait, text);
  waited += wait;
  return true;
}

// GETs the API path into body. A 429 is waited out (Retry-After, else 1 s
// doubling); anything else that is not a success tells the user and ends the
// run. `what` names the resource in the boxes ("release 249504").
bool fetch(platform::Window* owner, const std::string& path, const std::string& what,
           std::string& body) {
  int waited = 0;
  int backoff = 1;
  for (;;) {
    pace();
    const ApiResponse response = api_get(g_run.api, path);
    g_run.api_requests_left = response.remaining;
    if (!response.answered) {
      give_up(owner, "Could not connect to web server");
      return false;
    }
    if (response.status == 429) {
      // A Retry-After of 0 would ask again at once, forever.
      const int wait = response.retry_after > 0 ? response.retry_after : backoff;
      backoff *= 2;
      if (!wait_for_rate_limit(owner, wait, waited)) return false;
      continue;
    }
    if (response.status == 401 || response.status == 403) {
      // A new token set on the spot is tried at once.
      if (offer_new_token(owner, "The database refused the token (HTTP " +
                                     std::to_string(response.status) + ").")) {
        continue;
      }
      g_run.could_not_go_on = true;
      g_cancelled = true;
      return false;
    }
    if (response.status == 404) {
      give_up(owner, "The database has no " + what + " (HTTP 404).");
      return false;
    }
    if (response.status < 200 || response.status > 299) {
      give_up(owner, "The database answered the request for " + what + " with HTTP status " +
                         std::to_string(response.status) + ".");
      return false;
    }
    body = response.body;
    return true;
  }
}

void unreadable(platform::Window* owner, const std::string& what) {
  give_up(owner, "The database's answer for " + what + " could not be read.");
}

bool escaped_in_hit_link(unsigned char byte) {
  return !platform::ascii_letter_or_digit(byte) && byte != ' ';
}

// The link the search-result page shows as "Name (Artist)" or "Name (Label)":
// blanks as '+', everything but letters and digits percent-encoded.
std::string hit_link(const ApiSearchHit& hit) {
  std::string name = platform::percent_encode(hit.name, escaped_in_hit_link);
  std::replace(name.begin(), name.end(), ' ', '+');
  return (hit.label ? "/label/" : "/artist/") + name;
}

// The releases of an artist or a label, as the release page lists them.
void load_discography(platform::Window* owner, bool label, const std::string& id) {
  const std::string what = (label ? "label " : "artist ") + id;
  const std::string path = (label ? "/labels/" : "/artists/") + id +
                           "/releases?per_page=" + std::to_string(kPerPage) + "&page=";
  g_rurl.clear();
  g_collection.clear();
  for (int page = 1; page <= kMostDiscographyPages; ++page) {
    std::string body;
    if (!fetch(owner, path + std::to_string(page), what, body)) return;
    ApiDiscographyPage read;
    if (!read_api_discography(body, label, read)) return unreadable(owner, what);
    for (size_t i = 0; i < read.entries.size(); ++i) {
      g_rurl.push_back("/release/" + read.release_ids[i]);
      g_collection.push_back(read.entries[i]);
    }
    if (read.pages <= page) return;
  }
  platform::trace("releases beyond the first %d pages were left out\n", kMostDiscographyPages);
}

bool search(platform::Window* owner, const std::string& term) {
  std::vector<ApiSearchHit> hits;
  for (const char* type : {"artist", "label"}) {
    std::string body;
    const std::string path = "/database/search?q=" + api_query_value(term) + "&type=" + type +
                             "&per_page=" + std::to_string(kPerPage);
    if (!fetch(owner, path, "the search", body)) return false;
    if (!read_api_search(body, hits)) {
      unreadable(owner, "the search");
      return false;
    }
  }
  g_rurl.clear();
  g_run.api_result_ids.clear();
  for (const ApiSearchHit& hit : hits) {
    g_rurl.push_back(hit_link(hit));
    g_run.api_result_ids.push_back(hit.id);
  }
  return true;
}

// The id of the result the search-result page left in g_result_url.
std::string chosen_result_id() {
  const size_t base = std::strlen(kDatabaseBase);
  const std::string link = g_result_url.size() > base ? g_result_url.substr(base) : "";
  for (size_t i = 0; i < g_rurl.size() && i < g_run.api_result_ids.size(); ++i) {
    if (g_rurl[i] == link) return g_run.api_result_ids[i];
  }
  return "";
}

// A typed address: its release is read at once, as a typed release page is;
// an artist or a label gets its release list.
void go_to_address(platform::Window* owner, const DatabaseAddress& address) {
  platform::trace("found a database address: %s %s\n", address.kind.c_str(), address.id.c_str());
  if (address.kind == "artist" || address.kind == "label") {
    g_direct_page = false;
    g_label = address.kind == "label";
    load_discography(owner, g_label, address.id);
    return;
  }
  g_direct_page = true;
  g_label = false;
  g_has_releases = false;
  std::string release_id = address.id;
  if (address.kind == "master") {
    std::string body;
    if (!fetch(owner, "/masters/" + address.id, "master " + address.id, body)) return;
    release_id = read_api_master(body);
    if (release_id.empty()) return unreadable(owner, "master " + address.id);
  }
  api_read_release(owner, "/release/" + release_id);
}

}  // namespace

bool api_in_use() { return !g_run.api.token.empty(); }

SearchOutcome api_search_database(platform::Window* owner, const std::string& term) {
  platform::trace("searchterm: %s\n", term.c_str());
  DatabaseAddress address;
  if (parse_database_address(term, address)) {
    go_to_address(owner, address);
    return g_cancelled ? SearchOutcome::kFailed : SearchOutcome::kPage;
  }
  if (!search(owner, term)) return SearchOutcome::kFailed;
  if (g_rurl.empty()) {
    error_box("Could not find any matches for your search terms.", owner);
    return SearchOutcome::kNoHits;
  }
  return SearchOutcome::kHits;
}

void api_load_search_result(platform::Window* owner) {
  const std::string id = chosen_result_id();
  if (id.empty()) {
    error_box("No search result was selected.", owner);
    return;
  }
  g_direct_page = false;
  load_discography(owner, g_label, id);
}

void api_read_release(platform::Window* owner, const std::string& link) {
  const std::string id = link.substr(link.rfind('/') + 1);
  std::string body;
  if (!fetch(owner, "/releases/" + id, "release " + id, body)) return;
  Release release;
  if (!read_api_release(body, release)) return unreadable(owner, "release " + id);
  match_release(release);
}
