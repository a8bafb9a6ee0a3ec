#pragma once
// Keeps a long run of requests within the database's rate limit: never
// more in any minute than the limit its answers announce, and none while
// they say nothing is left. Times are seconds on a clock that only goes
// forward; nothing here waits or reads a clock itself.
#include <deque>

class RequestPacer {
 public:
  static constexpr int kDefaultLimit = 60;  // requests a minute, authenticated
  static constexpr double kWindow = 60.0;   // the database counts a moving minute

  // Seconds to wait at `now` before the next request may go.
  double wait_before_request(double now) const;
  // A request went at `now`.
  void sent(double now);
  // Its answer came at `now` with X-Discogs-Ratelimit and -Remaining
  // (-1 for a header that was not there).
  void answered(double now, int limit, int remaining);

  // Seconds to wait before asking again after the n-th 429 (from 1) in a
  // row: the answer's Retry-After when it has one (above 0), else 1 second,
  // doubling.
  static int backoff_after_429(int attempt, int retry_after);

 private:
  int limit_ = kDefaultLimit;
  std::deque<double> sent_;    // this run's requests of the last minute
  int remaining_ = -1;         // as the last answer said; -1 unknown
  int sent_since_answer_ = 0;  // requests gone since that answer
  double answer_time_ = 0;
};
