// Pacing a long run of requests by the rate-limit headers the database
// sends back: never more in a minute than it allows, none while it says
// nothing is left, and a 429 waited out as the wizard waits it out.
#include "web/api/request_pacer.h"

#include <gtest/gtest.h>

namespace {

// Sends `count` requests one second apart from `start`, each answered with
// the limit and what is left as a server counting only these would say.
void send(RequestPacer& pacer, int count, double start, int limit) {
  for (int i = 0; i < count; ++i) {
    const double now = start + i;
    pacer.sent(now);
    pacer.answered(now, limit, limit - (i + 1));
  }
}

}  // namespace

TEST(RequestPacer, NoWaitUntilTheLimitIsReached) {
  RequestPacer pacer;
  EXPECT_EQ(pacer.wait_before_request(0), 0);
  send(pacer, 59, 0, 60);
  EXPECT_EQ(pacer.wait_before_request(59), 0);
}

TEST(RequestPacer, TheSixtyFirstRequestWaitsForTheFirstToLeaveTheMinute) {
  RequestPacer pacer;
  send(pacer, 60, 0, 60);
  // The first went at 0: the window frees at 60.
  EXPECT_DOUBLE_EQ(pacer.wait_before_request(60), 0);
  EXPECT_DOUBLE_EQ(pacer.wait_before_request(59.5), 0.5);
}

TEST(RequestPacer, TheLimitTheAnswersAnnounceIsKept) {
  RequestPacer pacer;
  send(pacer, 25, 100, 25);
  EXPECT_DOUBLE_EQ(pacer.wait_before_request(125), 35);
}

TEST(RequestPacer, NothingLeftWaitsForTheRunsOldestRequestInTheWindow) {
  // Other programs used most of the minute: three requests of ours, then
  // the database says none is left.
  RequestPacer pacer;
  pacer.sent(10);
  pacer.answered(10, 60, 2);
  pacer.sent(20);
  pacer.answered(20, 60, 1);
  pacer.sent(30);
  pacer.answered(30, 60, 0);
  EXPECT_DOUBLE_EQ(pacer.wait_before_request(31), 70 - 31);
}

TEST(RequestPacer, NothingLeftAndNoneOfOursWaitsAWholeMinute) {
  RequestPacer pacer;
  pacer.answered(5, 60, 0);
  EXPECT_DOUBLE_EQ(pacer.wait_before_request(5), 60);
}

TEST(RequestPacer, RequestsSentSinceTheLastAnswerCountAgainstWhatWasLeft) {
  RequestPacer pacer;
  pacer.sent(0);
  pacer.answered(0, 60, 2);
  pacer.sent(1);
  pacer.sent(2);
  EXPECT_DOUBLE_EQ(pacer.wait_before_request(3), 57);
}

// Ours that have left the minute since the answer freed their places:
// the second place frees when the request at 59 leaves, not a minute
// after the answer.
TEST(RequestPacer, RequestsThatLeftTheMinuteStillCountAsFreedPlaces) {
  RequestPacer pacer;
  pacer.sent(0);
  pacer.sent(59);
  pacer.answered(59.5, 60, 0);
  pacer.sent(60.5);
  EXPECT_DOUBLE_EQ(pacer.wait_before_request(60.5), 119 - 60.5);
}

TEST(RequestPacer, AnAnswerWithoutTheHeadersKeepsTheLastCount) {
  RequestPacer pacer;
  pacer.sent(0);
  pacer.answered(0, 60, 1);
  pacer.sent(1);
  pacer.answered(1, -1, -1);
  EXPECT_DOUBLE_EQ(pacer.wait_before_request(2), 58);
}

TEST(RequestPacer, BackoffAfter429TakesRetryAfterElseDoubles) {
  const struct {
    const char* name;
    int attempt, retry_after, wait;
  } cases[] = {{"retry-after given", 1, 7, 7}, {"retry-after later", 3, 2, 2},
               {"first without", 1, -1, 1},    {"second without", 2, -1, 2},
               {"fourth without", 4, -1, 8},   {"zero is no answer", 2, 0, 2}};
  for (const auto& c : cases) {
    EXPECT_EQ(RequestPacer::backoff_after_429(c.attempt, c.retry_after), c.wait) << c.name;
  }
}
