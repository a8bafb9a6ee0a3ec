#include "app/lookup/database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "model/run_state.h"
#include "tests/support/isolated_config.h"
#include "tests/support/recording_front_end.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

// Each failure is one box that names it (the host, the status or the
// system's reason, the limit or the size), after the words the program has
// always used for the case where it has some; the run can go on, but ends
// as one that could not go on unless a later lookup succeeds. A stopped
// wait cancels the page without a box; a refused token offers the token
// page (answered No here).
TEST(LookupFailureBox, NamesTheFailureAndLetsTheRunGoOn) {
  test_support::ScopedEnv no_token("DISCOGS_TOKEN", nullptr);
  const struct {
    const char* name;
    LookupFailure kind;
    int status;
    bool from_pages;
    const char* reason;
    const char* said_before;
    std::string box;  // "" for none
  } rows[] = {
      {"no connection", LookupFailure::kNoConnection, 0, true, "Connection refused",
       "Could not connect to web server",
       "Could not connect to web server\nNo connection to www.discogs.com: Connection refused."},
      {"no connection, no reason", LookupFailure::kNoConnection, 0, false, "", "",
       "No connection to www.discogs.com."},
      {"timed out", LookupFailure::kTimedOut, 0, true, "", "",
       "The answer for release 7 from www.discogs.com took longer than 20 seconds."},
      {"cut off", LookupFailure::kCutOff, 200, true, "Connection reset by peer", "",
       "The answer for release 7 from www.discogs.com was cut off (Connection reset by "
       "peer)."},
      {"too large", LookupFailure::kTooLarge, 200, false, "", "",
       "The answer for release 7 from www.discogs.com was larger than 64 MB."},
      {"pages refused", LookupFailure::kRefused, 403, true, "", "",
       "The database's web pages refuse programs (HTTP 403), so the search cannot be read from "
       "them. With a personal access token the program asks the database's API instead. Set a "
       "personal access token now?"},
      {"API refused", LookupFailure::kRefused, 403, false, "", "",
       "www.discogs.com answered the request for release 7 with HTTP status 403."},
      {"bad token", LookupFailure::kBadToken, 401, false, "", "",
       "The database refused the token (HTTP 401). Set a personal access token now?"},
      {"API not found", LookupFailure::kNotFound, 404, false, "", "",
       "The database has no release 7 (HTTP 404 from www.discogs.com)."},
      {"page not found", LookupFailure::kNotFound, 404, true, "", "Could not find any tracks",
       "Could not find any tracks\nwww.discogs.com answered the request for release 7 with "
       "HTTP status 404."},
      {"server error", LookupFailure::kBadStatus, 500, false, "", "",
       "www.discogs.com answered the request for release 7 with HTTP status 500."},
      {"rate limited", LookupFailure::kRateLimited, 429, false, "", "",
       "The database keeps asking to slow down (HTTP 429), even after waiting 31 seconds. "
       "Please try again later."},
      {"unreadable", LookupFailure::kUnreadable, 200, false, "", "",
       "The database's answer for release 7 could not be read."},
      {"stopped", LookupFailure::kCancelled, 0, false, "", "", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    test_support::RecordingFrontEnd front_end;
    g_cancelled = false;
    g_run.could_not_go_on = false;
    LookupError failure;
    failure.kind = row.kind;
    failure.what = "release 7";
    failure.status = row.status;
    failure.seconds_waited = 31;
    failure.from_pages = row.from_pages;
    failure.host = "www.discogs.com";
    failure.reason = row.reason;
    failure.seconds = 20;
    failure.bytes = 64u * 1024u * 1024u;
    EXPECT_FALSE(tell_lookup_failure(nullptr, failure, row.said_before));
    if (row.box.empty()) {
      EXPECT_THAT(front_end.texts(), IsEmpty());
    } else {
      EXPECT_THAT(front_end.texts(), ElementsAre(StartsWith(row.box)));
    }
    const bool stopped = row.kind == LookupFailure::kCancelled;
    EXPECT_EQ(g_cancelled, stopped);
    EXPECT_EQ(g_run.could_not_go_on, !stopped);
  }
  lookup_succeeded();
  EXPECT_FALSE(g_run.could_not_go_on);
  g_cancelled = false;
}

}  // namespace
