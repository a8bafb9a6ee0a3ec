// What the boxes say when a request to the database brings no usable answer:
// what happened, to which request, from which host.
#include <gtest/gtest.h>

#include "app/error_box.h"

namespace {

TEST(Messages, EachWayARequestFailsIsNamed) {
  const auto failure = [](HttpFailure::Kind kind, const char* host, const char* reason) {
    HttpFailure f;
    f.kind = kind;
    f.host = host;
    f.reason = reason;
    return f;
  };
  HttpFailure stalled = failure(HttpFailure::kTimedOut, "api.discogs.com", "too slow");
  stalled.seconds = 20;
  HttpFailure quick = stalled;
  quick.seconds = 1;
  HttpFailure huge = failure(HttpFailure::kTooLarge, "api.discogs.com", "");
  huge.bytes = 64u * 1024 * 1024;
  HttpFailure odd = huge;
  odd.bytes = 100000;
  const struct {
    const char* name;
    HttpFailure failure;
    const char* text;
  } cases[] = {
      {"Refused", failure(HttpFailure::kNoConnection, "www.discogs.com", "Connection refused"),
       "Could not connect to web server (www.discogs.com: Connection refused)"},
      {"NoReason", failure(HttpFailure::kNoConnection, "www.discogs.com", ""),
       "Could not connect to web server (www.discogs.com)"},
      {"NothingKnown", failure(HttpFailure::kNoConnection, "", ""),
       "Could not connect to web server"},
      {"TimedOut", stalled,
       "The answer for release 249504 from api.discogs.com took longer than 20 seconds."},
      {"TimedOutInASecond", quick,
       "The answer for release 249504 from api.discogs.com took longer than 1 second."},
      {"CutOff", failure(HttpFailure::kCutOff, "www.discogs.com", "Connection reset by peer"),
       "The answer for release 249504 from www.discogs.com was cut off (Connection reset by "
       "peer)."},
      {"CutOffWithoutReason", failure(HttpFailure::kCutOff, "www.discogs.com", ""),
       "The answer for release 249504 from www.discogs.com was cut off."},
      {"TooLarge", huge,
       "The answer for release 249504 from api.discogs.com was larger than 64 MB."},
      {"TooLargeInBytes", odd,
       "The answer for release 249504 from api.discogs.com was larger than 100000 bytes."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(http_failure_text(c.failure, "release 249504"), c.text) << c.name;
  }
}

}  // namespace
