#include "app/lookup/database.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "app/error_box.h"
#include "app/lookup/api_source.h"
#include "app/lookup/token_offer.h"
#include "model/run_state.h"
#include "platform/dialogs/wait_notice.h"
#include "platform/trace.h"
#include "web/api/api_database.h"
#include "web/site/site_database.h"

namespace {

// Since the database put a bot check in front of its pages, they answer
// programs with 403 whatever they send.
const char kPagesRefused[] =
    "The database's web pages refuse programs (HTTP 403), so the search cannot be read from "
    "them. With a personal access token the program asks the database's API instead.";

// The wait says what it is for, and a window is drawn meanwhile. Said by
// the wait notice, which needs no answer: a box would stall a script and
// the wait alike. The user may stop it, as any wait for the database.
class NoticedWait : public ApiWait {
 public:
  void wait(int seconds, const std::string& reason) override {
    platform::WaitNotice notice(reason, true);
    stopped_ = false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (auto now = std::chrono::steady_clock::now(); now < end && !stopped_;
         now = std::chrono::steady_clock::now()) {
      std::this_thread::sleep_for(
          std::min<std::chrono::steady_clock::duration>(end - now, std::chrono::milliseconds(50)));
      notice.tick();
      stopped_ = notice.stopped();
    }
  }
  bool stopped() const override { return stopped_; }

 private:
  bool stopped_ = false;
};

// The API source with what it asks through and how it waits.
struct OnlineDatabase {
  explicit OnlineDatabase(const ApiConfig& config) : transport(config) {}
  HttpApiTransport transport;
  NoticedWait wait;
  ApiDatabase source{transport, wait};
};

std::string host_of(const LookupError& failure) {
  return failure.host.empty() ? std::string("the database") : failure.host;
}

std::string status_text(const LookupError& failure) {
  return host_of(failure) + " answered the request for " + failure.what + " with HTTP status " +
         std::to_string(failure.status) + ".";
}

std::string megabytes(size_t bytes) { return std::to_string(bytes / (1024 * 1024)) + " MB"; }

// A failure that a personal access token set now can mend.
bool token_can_mend(const LookupError& failure) {
  return failure.kind == LookupFailure::kBadToken ||
         (failure.kind == LookupFailure::kRefused && failure.from_pages);
}

}  // namespace

// What went wrong, named: the host, and the status, the system's reason,
// the limit that ran out or the size that was too much.
std::string lookup_failure_text(const LookupError& failure) {
  const std::string answer = "The answer for " + failure.what + " from " + host_of(failure);
  const std::string reason = failure.reason.empty() ? "" : " (" + failure.reason + ")";
  switch (failure.kind) {
    case LookupFailure::kRefused:
      return failure.from_pages ? kPagesRefused : status_text(failure);
    case LookupFailure::kBadToken:
      return "The database refused the token (HTTP 401).";
    case LookupFailure::kNotFound:
      if (failure.from_pages) return status_text(failure);
      return "The database has no " + failure.what + " (HTTP 404 from " + host_of(failure) + ").";
    case LookupFailure::kRateLimited:
      return "The database keeps asking to slow down (HTTP 429), even after waiting " +
             std::to_string(failure.seconds_waited) + " seconds. Please try again later.";
    case LookupFailure::kUnreadable:
      return "The database's answer for " + failure.what + " could not be read.";
    case LookupFailure::kBadStatus:
      return status_text(failure);
    case LookupFailure::kNotOffered:
      return "The database's web pages cannot answer " + failure.what + ".";
    case LookupFailure::kTooLarge:
      return answer + " was larger than " + megabytes(failure.bytes) + ".";
    case LookupFailure::kCutOff:
      return answer + " was cut off" + reason + ".";
    case LookupFailure::kTimedOut:
      return answer + " took longer than " + std::to_string(failure.seconds) +
             (failure.seconds == 1 ? " second." : " seconds.");
    case LookupFailure::kNoConnection:
      return "No connection to " + host_of(failure) +
             (failure.reason.empty() ? "." : ": " + failure.reason + ".");
    case LookupFailure::kCancelled:
      return "The wait for " + host_of(failure) + " was stopped.";
    case LookupFailure::kNone:
      break;
  }
  return "";
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

bool tell_lookup_failure(platform::Window* owner, const LookupError& failure,
                         const std::string& said_before) {
  // Stopping the wait is cancelling the page.
  if (failure.kind == LookupFailure::kCancelled) {
    g_cancelled = true;
    return false;
  }
  g_run.could_not_go_on = true;
  const std::string text = lookup_failure_text(failure);
  if (token_can_mend(failure)) return offer_new_token(owner, text);
  error_box(said_before.empty() ? text : said_before + "\n" + text, owner);
  return false;
}

void lookup_succeeded() { g_run.could_not_go_on = false; }
