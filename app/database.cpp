#include "app/database.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "app/api_source.h"
#include "app/error_box.h"
#include "model/run_state.h"
#include "platform/trace.h"
#include "platform/wait_notice.h"
#include "web/api_database.h"
#include "web/site_database.h"

namespace {

// Since the database put a bot check in front of its pages, they answer
// programs with 403 whatever they send.
const char kPagesRefused[] =
    "The database's web pages refuse programs (HTTP 403), so the search cannot be read from "
    "them. Get a personal access token from the database's developer settings "
    "(https://www.discogs.com/settings/developers) and set it with Settings > Database Token... "
    "or in the environment variable DISCOGS_TOKEN: the program then asks the database's API "
    "instead.";

// The wait says what it is for, and a window is drawn meanwhile. Said by
// the wait notice, which needs no answer: a box would stall a script and
// the wait alike.
class NoticedWait : public ApiWait {
 public:
  void wait(int seconds, const std::string& reason) override {
    platform::WaitNotice notice(reason);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (auto now = std::chrono::steady_clock::now(); now < end;
         now = std::chrono::steady_clock::now()) {
      std::this_thread::sleep_for(
          std::min<std::chrono::steady_clock::duration>(end - now, std::chrono::milliseconds(50)));
      notice.tick();
    }
  }
};

// The API source with what it asks through and how it waits.
struct OnlineDatabase {
  explicit OnlineDatabase(const ApiConfig& config) : transport(config) {}
  HttpApiTransport transport;
  NoticedWait wait;
  ApiDatabase source{transport, wait};
};

std::string status_text(const LookupError& failure) {
  return "The database answered the request for " + failure.what + " with HTTP status " +
         std::to_string(failure.status) + ".";
}

}  // namespace

std::string lookup_failure_text(const LookupError& failure) {
  switch (failure.kind) {
    case LookupFailure::kRefused:
      return failure.from_pages ? kPagesRefused : status_text(failure);
    case LookupFailure::kBadToken:
      return "The database refused the token (HTTP 401). The token is read from the environment "
             "variable DISCOGS_TOKEN or, when that is not set, from the file " +
             token_file_path() +
             ". Set a valid personal access token with Settings > Database Token...";
    case LookupFailure::kNotFound:
      return "The database has no " + failure.what + " (HTTP 404).";
    case LookupFailure::kRateLimited:
      return "The database keeps asking to slow down (HTTP 429), even after waiting " +
             std::to_string(failure.seconds_waited) + " seconds. Please try again later.";
    case LookupFailure::kUnreadable:
      return "The database's answer for " + failure.what + " could not be read.";
    case LookupFailure::kBadStatus:
      return status_text(failure);
    case LookupFailure::kNotOffered:
      return "The database's web pages cannot answer " + failure.what + ".";
    case LookupFailure::kNone:
    case LookupFailure::kNoConnection:
    case LookupFailure::kTooLarge:
    case LookupFailure::kCutOff:
    case LookupFailure::kTimedOut:
      break;
  }
  return http_failure_text(failure.transfer, failure.what);
}

void choose_database(const ApiConfig& config) {
  g_run.api = config;
  if (config.token.empty()) {
    g_run.database = std::make_shared<SiteDatabase>();
    return;
  }
  platform::trace("lookups through %s\n", config.base.c_str());
  const auto online = std::make_shared<OnlineDatabase>(config);
  g_run.database = std::shared_ptr<DatabaseSource>(online, &online->source);
}

DatabaseSource& database() {
  if (!g_run.database) choose_database(g_run.api);
  return *g_run.database;
}

void tell_lookup_failure(platform::Window* owner, const LookupError& failure) {
  error_box(lookup_failure_text(failure), owner);
  g_cancelled = true;
}
