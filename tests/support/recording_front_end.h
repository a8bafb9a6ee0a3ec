#pragma once
// A front end for the tests: records every message box and answers it
// with OK, or No where it asks Yes or No.
#include <string>
#include <vector>

#include "platform/dialogs/front_end.h"

namespace test_support {

struct RecordedBox {
  std::string text;
  std::string caption;
  unsigned style;
  bool owned;
};

class RecordingFrontEnd : public platform::FrontEnd {
 public:
  RecordingFrontEnd() { platform::set_front_end(this); }
  ~RecordingFrontEnd() override { platform::set_front_end(nullptr); }

  int message_box(platform::Window* owner, const std::string& text, const std::string& caption,
                  unsigned style) override {
    boxes.push_back({text, caption, style, owner != nullptr});
    return (style & 0x0F) == platform::kBoxYesNo ? platform::kAnswerNo : platform::kAnswerOk;
  }

  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const RecordedBox& box : boxes) out.push_back(box.text);
    return out;
  }

  void show_wait(const std::string& what, int, bool) override { waits.push_back(what); }
  void end_wait() override { ++ended_waits; }

  std::vector<RecordedBox> boxes;
  std::vector<std::string> waits;  // each notice shown, as often as shown
  int ended_waits = 0;
};

}  // namespace test_support
