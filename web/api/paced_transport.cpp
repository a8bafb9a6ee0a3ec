#include "web/api/paced_transport.h"

#include <chrono>
#include <thread>

#include "platform/trace.h"

namespace {

double seconds_now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

ApiResponse PacedTransport::get(const std::string& path) {
  if (paced_) {
    const double wait = pacer_.wait_before_request(seconds_now());
    if (wait > 0) {
      platform::trace("API: keeping to the rate limit, waiting %.1f seconds\n", wait);
      std::this_thread::sleep_for(std::chrono::duration<double>(wait));
    }
  }
  ++requests_;
  ApiResponse response = inner_.get(path);
  // Counted from its answer: the database counted it when it arrived, at
  // some moment before, and it leaves the database's minute no later.
  const double answered = seconds_now();
  pacer_.sent(answered);
  pacer_.answered(answered, response.limit, response.remaining);
  // Unpaced, nothing behind this may slow down for the count either.
  if (!paced_) response.remaining = -1;
  return response;
}
