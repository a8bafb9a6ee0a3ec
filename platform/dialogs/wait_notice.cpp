#include "platform/dialogs/wait_notice.h"

#include <utility>

#include "platform/dialogs/front_end.h"

namespace platform {
namespace {

constexpr std::chrono::milliseconds kQuietWait(500);

}  // namespace

WaitNotice::WaitNotice(std::string what, bool stoppable)
    : what_(std::move(what)), start_(std::chrono::steady_clock::now()), stoppable_(stoppable) {}

WaitNotice::~WaitNotice() {
  if (shown_) front_end().end_wait();
}

void WaitNotice::update(std::string what) {
  what_ = std::move(what);
  tick();
}

void WaitNotice::tick() {
  const auto waited = std::chrono::steady_clock::now() - start_;
  if (waited < kQuietWait) return;
  shown_ = true;
  front_end().show_wait(
      what_, static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(waited).count()),
      stoppable_);
}

bool WaitNotice::stopped() const { return shown_ && stoppable_ && front_end().wait_stopped(); }

}  // namespace platform
