#include "web/paced_transport.h"

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
  pacer_.sent(seconds_now());
  ++requests_;
  ApiResponse response = inner_.get(path);
  pacer_.answered(seconds_now(), response.limit, response.remaining);
  // Unpaced, nothing behind this may slow down for the count either.
  if (!paced_) response.remaining = -1;
  return response;
}
