#pragma once
// Tells the user what a long wait is for: the web database that has not
// answered yet, the files that Finish! is still writing. The front end in
// use hears of a wait only once it has lasted half a second, so that quick
// ones show nothing, and then again each time tick() is called, so that it
// can keep its windows drawn and the shown time current.
#include <chrono>
#include <string>

namespace platform {

class WaitNotice {
 public:
  // A stoppable wait is one the user may end (a lookup), as cancelling the
  // page that started it.
  explicit WaitNotice(std::string what, bool stoppable = false);
  ~WaitNotice();  // takes the notice away, if it was shown
  WaitNotice(const WaitNotice&) = delete;
  WaitNotice& operator=(const WaitNotice&) = delete;

  // A new text for the same wait ("file 4 of 12").
  void update(std::string what);
  // Called often while waiting (a few times a second at least).
  void tick();
  // True once the user asked to stop a stoppable wait.
  bool stopped() const;

 private:
  std::string what_;
  std::chrono::steady_clock::time_point start_;
  bool stoppable_;
  bool shown_ = false;
};

}  // namespace platform
