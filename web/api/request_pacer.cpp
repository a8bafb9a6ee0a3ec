#include "web/api/request_pacer.h"

#include <algorithm>

double RequestPacer::wait_before_request(double now) const {
  double ready = now;
  // The run's own requests of the last minute.
  size_t recent = 0;
  for (const double at : sent_) {
    if (at > now - kWindow) ++recent;
  }
  if (limit_ > 0 && recent >= static_cast<size_t>(limit_)) {
    ready = std::max(ready, sent_[sent_.size() - static_cast<size_t>(limit_)] + kWindow);
  }
  // What the database says is left counts other programs' requests too.
  // Each of ours that was in its window then frees a place when it leaves;
  // without enough of those, the whole window must pass.
  const int short_by = sent_since_answer_ - remaining_ + 1;
  if (remaining_ >= 0 && short_by > 0) {
    double frees = answer_time_ + kWindow;
    int counted = 0;
    for (const double at : sent_) {
      if (at > answer_time_ - kWindow && at <= answer_time_ && ++counted == short_by) {
        frees = at + kWindow;
        break;
      }
    }
    ready = std::max(ready, frees);
  }
  return ready - now;
}

void RequestPacer::sent(double now) {
  sent_.push_back(now);
  ++sent_since_answer_;
  const size_t keep = static_cast<size_t>(std::max(limit_, kDefaultLimit));
  while (sent_.size() > keep && sent_.front() <= now - kWindow) sent_.pop_front();
}

void RequestPacer::answered(double now, int limit, int remaining) {
  if (limit > 0) limit_ = limit;
  if (remaining < 0) return;
  remaining_ = remaining;
  sent_since_answer_ = 0;
  answer_time_ = now;
}

int RequestPacer::backoff_after_429(int attempt, int retry_after) {
  if (retry_after > 0) return retry_after;
  return 1 << std::min(std::max(attempt, 1) - 1, 6);
}
