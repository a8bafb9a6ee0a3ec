#include "app/batch_lookups.h"

#include <chrono>
#include <thread>

#include "platform/trace.h"
#include "web/api_client.h"
#include "web/api_readers.h"
#include "web/release_search_reader.h"

namespace {

// As in the wizard: a burst of 429 waits this long in all, then give up.
constexpr int kMostSecondsWaited = 60;
// A library's albums rarely have more likely releases than this.
constexpr int kResultsWanted = 25;

double seconds_now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void sleep_seconds(double seconds) {
  if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

LookupFailure failure(LookupFailure::Kind kind, const std::string& text) {
  LookupFailure f;
  f.kind = kind;
  f.text = text;
  return f;
}

}  // namespace

BatchLookups::BatchLookups(const ApiConfig& config, bool paced) : config_(config), paced_(paced) {}

void BatchLookups::wait_for_pacer() {
  if (!paced_) return;
  const double wait = pacer_.wait_before_request(seconds_now());
  if (wait > 0) {
    platform::trace("API: keeping to the rate limit, waiting %.1f seconds\n", wait);
    sleep_seconds(wait);
  }
}

LookupFailure BatchLookups::fetch(const std::string& path, const std::string& what,
                                  std::string& body) {
  int waited = 0;
  for (int attempt = 1;; ++attempt) {
    wait_for_pacer();
    pacer_.sent(seconds_now());
    ++requests_;
    const ApiResponse response = api_get(config_, path);
    pacer_.answered(seconds_now(), response.limit, response.remaining);
    if (!response.answered)
      return failure(LookupFailure::kUnreachable, "could not connect to the database");
    if (response.status == 429) {
      const int wait = RequestPacer::backoff_after_429(attempt, response.retry_after);
      if (waited + wait > kMostSecondsWaited) {
        return failure(LookupFailure::kTooManyRequests,
                       "the database kept asking to slow down (HTTP 429), even after waiting " +
                           std::to_string(waited) + " seconds");
      }
      platform::trace("API: asked to slow down (HTTP 429); waiting %d seconds\n", wait);
      sleep_seconds(wait);
      waited += wait;
      continue;
    }
    if (response.status == 401) {
      return failure(LookupFailure::kTokenRefused, "the database refused the token (HTTP 401)");
    }
    if (response.status == 404) {
      return failure(LookupFailure::kNotFound, "the database has no " + what + " (HTTP 404)");
    }
    if (response.status < 200 || response.status > 299) {
      return failure(LookupFailure::kStatus, "the database answered the request for " + what +
                                                 " with HTTP status " +
                                                 std::to_string(response.status));
    }
    body = response.body;
    return LookupFailure();
  }
}

LookupFailure BatchLookups::find_releases(const std::string& artist, const std::string& title,
                                          const std::string& words,
                                          std::vector<FoundRelease>& found) {
  std::string query;
  if (!title.empty()) {
    if (!artist.empty()) query += "&artist=" + api_query_value(artist);
    query += "&release_title=" + api_query_value(title);
  } else {
    query += "&q=" + api_query_value(words);
  }
  std::string body;
  const std::string path =
      "/database/search?type=release" + query + "&per_page=" + std::to_string(kResultsWanted);
  if (LookupFailure f = fetch(path, "the search", body)) return f;
  if (!read_api_release_results(body, found)) {
    return failure(LookupFailure::kUnreadable,
                   "the database's answer to the search could not be read");
  }
  return LookupFailure();
}

LookupFailure BatchLookups::read_release(const std::string& id, Release& release) {
  std::string body;
  if (LookupFailure f = fetch("/releases/" + id, "release " + id, body)) return f;
  if (!read_api_release(body, release)) {
    return failure(LookupFailure::kUnreadable,
                   "the database's answer for release " + id + " could not be read");
  }
  return LookupFailure();
}
