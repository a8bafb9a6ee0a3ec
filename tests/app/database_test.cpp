#include "app/database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/api_source.h"
#include "model/run_state.h"
#include "tests/support/recording_front_end.h"

namespace {

using ::testing::ElementsAre;

HttpFailure transfer(HttpFailure::Kind kind, const char* host, const char* reason) {
  HttpFailure failure;
  failure.kind = kind;
  failure.host = host;
  failure.reason = reason;
  failure.seconds = 20;
  return failure;
}

// Each failure ends the run with one box that says why.
TEST(LookupFailureBox, SaysWhyAndEndsTheRun) {
  const struct {
    LookupFailure kind;
    int status;
    bool from_pages;
    std::string box;
    HttpFailure transfer{};  // how the request failed, where it did
  } rows[] = {
      {LookupFailure::kNoConnection, 0, true, "Could not connect to web server"},
      {LookupFailure::kNoConnection, 0, false, "Could not connect to web server"},
      {LookupFailure::kRefused, 403, true,
       "The database's web pages refuse programs (HTTP 403), so the search cannot be read from "
       "them. Get a personal access token from the database's developer settings "
       "(https://www.discogs.com/settings/developers) and set it with Settings > Database "
       "Token... or in the environment variable DISCOGS_TOKEN: the program then asks the "
       "database's API instead."},
      {LookupFailure::kRefused, 403, false,
       "The database answered the request for release 7 with HTTP status 403."},
      {LookupFailure::kBadToken, 401, false,
       "The database refused the token (HTTP 401). The token is read from the environment "
       "variable DISCOGS_TOKEN or, when that is not set, from the file " +
           token_file_path() +
           ". Set a valid personal access token with Settings > Database Token..."},
      {LookupFailure::kNotFound, 404, false, "The database has no release 7 (HTTP 404)."},
      {LookupFailure::kBadStatus, 500, false,
       "The database answered the request for release 7 with HTTP status 500."},
      {LookupFailure::kRateLimited, 429, false,
       "The database keeps asking to slow down (HTTP 429), even after waiting 31 seconds. "
       "Please try again later."},
      {LookupFailure::kUnreadable, 200, false,
       "The database's answer for release 7 could not be read."},
      // How a request failed, which the whole runs cannot wait for.
      {LookupFailure::kTimedOut, 0, false,
       "The answer for release 7 from api.discogs.com took longer than 20 seconds.",
       transfer(HttpFailure::kTimedOut, "api.discogs.com", "Operation too slow")},
  };
  for (const auto& row : rows) {
    test_support::RecordingFrontEnd front_end;
    g_cancelled = false;
    LookupError failure;
    failure.kind = row.kind;
    failure.what = "release 7";
    failure.status = row.status;
    failure.seconds_waited = 31;
    failure.from_pages = row.from_pages;
    failure.transfer = row.transfer;
    tell_lookup_failure(nullptr, failure);
    EXPECT_THAT(front_end.texts(), ElementsAre(row.box)) << row.box;
    EXPECT_TRUE(g_cancelled) << row.box;
  }
  g_cancelled = false;
}

}  // namespace
