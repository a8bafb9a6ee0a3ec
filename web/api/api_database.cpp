#include "web/api/api_database.h"

#include <algorithm>

#include "platform/codepage.h"
#include "platform/http/http.h"
#include "platform/paths.h"
#include "platform/trace.h"
#include "web/api/api_address.h"
#include "web/api/api_readers.h"
#include "web/api/api_release_hits.h"

namespace {

template <typename T>
Lookup<T> failed(LookupFailure kind, const std::string& what, int status = 0) {
  return ::failed<T>(lookup_error(kind, what, status));
}

// A status that is not a success, as a failure.
LookupFailure failure_of_status(int status) {
  switch (status) {
    case 401:
      return LookupFailure::kBadToken;
    case 403:
      return LookupFailure::kRefused;
    case 404:
      return LookupFailure::kNotFound;
    default:
      return LookupFailure::kBadStatus;
  }
}

std::string rate_limit_reason(int wait) {
  return "The database asked to slow down (HTTP 429). Waiting " + std::to_string(wait) +
         (wait == 1 ? " second" : " seconds") + " before asking again";
}

bool escaped_in_hit_link(unsigned char byte) {
  return !platform::ascii_letter_or_digit(byte) && byte != ' ';
}

// The link the search-result page shows as "Name (Artist)" or "Name (Label)":
// blanks as '+', everything but letters and digits percent-encoded.
std::string hit_link(const ApiSearchHit& hit) {
  std::string name = platform::percent_encode(hit.name, escaped_in_hit_link);
  std::replace(name.begin(), name.end(), ' ', '+');
  return (hit.is_label ? "/label/" : "/artist/") + name;
}

std::string query_part(const char* name, const std::string& value) {
  return value.empty() ? "" : std::string("&") + name + "=" + api_query_value(value);
}

}  // namespace

bool ApiDatabase::pace() {
  if (requests_left_ < 0 || requests_left_ >= kPaceBelow) return true;
  platform::trace("API: %d requests left in the window; pausing\n", requests_left_);
  wait_.wait(1, "Keeping to the database's rate limit");
  return !wait_.stopped();
}

Lookup<std::string> ApiDatabase::fetch(const std::string& path, const std::string& what) {
  int waited = 0;
  int backoff = 1;
  for (;;) {
    if (!pace()) return failed<std::string>(LookupFailure::kCancelled, what);
    const ApiResponse response = transport_.get(path);
    requests_left_ = response.remaining;
    if (!response.answered) return failed<std::string>(lookup_error_of(response.failure, what));
    if (response.status == 429) {
      // A Retry-After of 0 would ask again at once, forever.
      const int wait = response.retry_after > 0 ? response.retry_after : backoff;
      backoff *= 2;
      if (waited + wait > kMostSecondsWaited) {
        Lookup<std::string> given_up = failed<std::string>(LookupFailure::kRateLimited, what, 429);
        given_up.failure.seconds_waited = waited;
        return given_up;
      }
      const std::string reason = rate_limit_reason(wait);
      platform::trace("%s\n", reason.c_str());
      wait_.wait(wait, reason);
      if (wait_.stopped()) return failed<std::string>(LookupFailure::kCancelled, what);
      waited += wait;
      continue;
    }
    if (response.status < 200 || response.status > 299) {
      Lookup<std::string> refused =
          failed<std::string>(failure_of_status(response.status), what, response.status);
      refused.failure.host = response.failure.host;
      return refused;
    }
    Lookup<std::string> body;
    body.value = response.body;
    return body;
  }
}

bool ApiDatabase::is_address(const std::string& term) const {
  DatabaseAddress address;
  return parse_database_address(term, address);
}

Lookup<Found> ApiDatabase::resolve_address(const std::string& term) {
  DatabaseAddress address;
  if (!parse_database_address(term, address)) {
    return failed<Found>(LookupFailure::kNotFound, "the address " + term);
  }
  platform::trace("found a database address: %s %s\n", address.kind.c_str(), address.id.c_str());
  Lookup<Found> found;
  if (address.kind == "artist" || address.kind == "label") {
    const bool is_label = address.kind == "label";
    found.value.kind = is_label ? Found::kLabel : Found::kArtist;
    Lookup<Discography> releases = list_releases_of(is_label, address.id);
    found.failure = releases.failure;
    found.value.discography = std::move(releases.value);
    return found;
  }
  std::string release_id = address.id;
  if (address.kind == "master") {
    const std::string what = "master " + address.id;
    const Lookup<std::string> body = fetch("/masters/" + address.id, what);
    if (!body.ok()) return failed<Found>(body.failure);
    release_id = read_api_master(body.value);
    if (release_id.empty()) return failed<Found>(LookupFailure::kUnreadable, what);
  }
  found.value.kind = Found::kRelease;
  Lookup<Release> release = read_release_id(release_id);
  found.failure = release.failure;
  found.value.release = std::move(release.value);
  return found;
}

Lookup<Found> ApiDatabase::search(const std::string& term) {
  const std::string what = "the search";
  std::vector<ApiSearchHit> hits;
  for (const char* type : {"artist", "label"}) {
    const std::string path = "/database/search?q=" + api_query_value(term) + "&type=" + type +
                             "&per_page=" + std::to_string(kPerPage);
    const Lookup<std::string> body = fetch(path, what);
    if (!body.ok()) return failed<Found>(body.failure);
    if (!read_api_search(body.value, hits)) return failed<Found>(LookupFailure::kUnreadable, what);
  }
  Lookup<Found> found;
  for (const ApiSearchHit& hit : hits)
    found.value.hits.push_back({hit_link(hit), hit.id, hit.is_label});
  return found;
}

Lookup<Discography> ApiDatabase::list_releases(const SearchHit& hit) {
  return list_releases_of(hit.is_label, hit.id);
}

Lookup<Discography> ApiDatabase::list_releases_of(bool is_label, const std::string& id) {
  const std::string what = (is_label ? "label " : "artist ") + id;
  const std::string path = (is_label ? "/labels/" : "/artists/") + id +
                           "/releases?per_page=" + std::to_string(kPerPage) + "&page=";
  Lookup<Discography> list;
  for (int page = 1; page <= kMostDiscographyPages; ++page) {
    const Lookup<std::string> body = fetch(path + std::to_string(page), what);
    if (!body.ok()) return failed<Discography>(body.failure);
    ApiDiscographyPage read;
    if (!read_api_discography(body.value, is_label, read)) {
      return failed<Discography>(LookupFailure::kUnreadable, what);
    }
    for (size_t i = 0; i < read.entries.size(); ++i) {
      list.value.links.push_back("/release/" + read.release_ids[i]);
      list.value.entries.push_back(read.entries[i]);
    }
    if (read.pages <= page) return list;
  }
  platform::trace("releases beyond the first %d pages were left out\n", kMostDiscographyPages);
  return list;
}

Lookup<Release> ApiDatabase::read_release(const std::string& link) {
  return read_release_id(platform::base_of(link));
}

Lookup<Release> ApiDatabase::read_release_id(const std::string& id) {
  const std::string what = "release " + id;
  const Lookup<std::string> body = fetch("/releases/" + id, what);
  if (!body.ok()) return failed<Release>(body.failure);
  Lookup<Release> release;
  if (!read_api_release(body.value, release.value)) {
    return failed<Release>(LookupFailure::kUnreadable, what);
  }
  return release;
}

Lookup<std::vector<ReleaseHit>> ApiDatabase::find_releases(const ReleaseQuery& query) {
  const std::string what = "the search";
  const std::string path = "/database/search?type=release" + query_part("artist", query.artist) +
                           query_part("release_title", query.title) + query_part("q", query.text) +
                           "&per_page=" + std::to_string(kPerPage);
  const Lookup<std::string> body = fetch(path, what);
  if (!body.ok()) return failed<std::vector<ReleaseHit>>(body.failure);
  Lookup<std::vector<ReleaseHit>> hits;
  if (!read_api_release_hits(body.value, hits.value)) {
    return failed<std::vector<ReleaseHit>>(LookupFailure::kUnreadable, what);
  }
  return hits;
}
