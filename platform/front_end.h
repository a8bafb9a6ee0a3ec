#pragma once
// What a user interface must offer the program: modal message boxes (and,
// through the dialog layer, modal pages). The terminal front end is the
// default; the tests install a recording one.
#include <string>

namespace platform {

class Window;  // a page while it runs; message boxes may be owned by one

// Box styles and answers carry the desktop API's values, so that callers
// read as they would there.
constexpr unsigned kBoxOk = 0x00;
constexpr unsigned kBoxYesNo = 0x04;
constexpr unsigned kBoxIconWarning = 0x30;
constexpr int kAnswerOk = 1;
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;
  // Shows the box, waits for the answer and returns it (kAnswer...).
  virtual int message_box(Window* owner, const std::string& text,
                          const std::string& caption, unsigned style) = 0;
};

// The front end in use. Chosen on first use unless one was installed.
FrontEnd& front_end();
// Installs a front end (not owned); nullptr goes back to the default choice.
void set_front_end(FrontEnd* front_end);

int message_box(Window* owner, const std::string& text, const std::string& caption,
                unsigned style);

}  // namespace platform
