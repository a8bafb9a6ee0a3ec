#pragma once
// The front end of the unattended library run: no pages, and every box
// Finish! would show becomes a line of the run's report instead.
#include <string>
#include <vector>

#include "platform/dialogs/front_end.h"

class BatchFrontEnd : public platform::FrontEnd {
 public:
  BatchFrontEnd() { platform::set_front_end(this); }
  ~BatchFrontEnd() override { platform::set_front_end(nullptr); }
  BatchFrontEnd(const BatchFrontEnd&) = delete;
  BatchFrontEnd& operator=(const BatchFrontEnd&) = delete;

  // A question is answered No: nothing is done unasked.
  int message_box(platform::Window*, const std::string& text, const std::string&,
                  unsigned style) override {
    // Finish! ends with "Done!" and where the folder went: the report line
    // says so already.
    if (text != "Done!" && text.rfind("Done!\n", 0) != 0) boxes_.push_back(text);
    return (style & 0x0F) == platform::kBoxYesNo ? platform::kAnswerNo : platform::kAnswerOk;
  }

  // The boxes since the last call, in order.
  std::vector<std::string> take_boxes() {
    std::vector<std::string> taken;
    taken.swap(boxes_);
    return taken;
  }

 private:
  std::vector<std::string> boxes_;
};
