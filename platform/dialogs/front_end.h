#pragma once
// What a user interface must offer the program: modal message boxes, modal
// pages (run through the dialog layer, platform/dialogs/dialog.h) and opening an
// address in the user's browser. The terminal front end is the default; the
// tests install their own.
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

// Pixels of the pages' font: its average character width and its height.
// A dialog unit is a quarter of the width across and an eighth of the
// height down. The default is the desktop's 8-point dialog font at 96 dpi.
struct BaseUnits {
  int width = 6;
  int height = 13;
};

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;
  // Shows the box, waits for the answer and returns it (kAnswer...).
  virtual int message_box(Window* owner, const std::string& text, const std::string& caption,
                          unsigned style) = 0;
  // Shows the page (its open message has been handled) and delivers the
  // user's input to it through the Window's input side until it ends,
  // drawing it again from the Window after each message. Pages may nest:
  // a page's command can run another page. A front end without pages
  // closes the page at once, as the close box would.
  virtual void run_modal(Window& page);
  virtual BaseUnits base_units() const { return BaseUnits(); }
  // Opens the address in the user's web browser; false when nothing could.
  virtual bool open_url(const std::string& url);
  // A wait that has lasted a while (see wait_notice.h): what it is for and
  // how many seconds it has lasted. Called again and again while it lasts,
  // from the thread that runs the pages; a front end keeps its windows
  // drawn meanwhile, but takes no input for them. A stoppable wait (a
  // lookup) offers the user a way to stop it, and wait_stopped() then says
  // whether the user took it. end_wait takes the notice away.
  virtual void show_wait(const std::string& /*what*/, int /*seconds*/, bool /*stoppable*/) {}
  virtual bool wait_stopped() { return false; }
  virtual void end_wait() {}
};

// The front end in use: the one installed, else one that only reports
// boxes on standard error.
FrontEnd& front_end();
// Installs a front end (not owned); nullptr takes it away again.
void set_front_end(FrontEnd* front_end);

int message_box(Window* owner, const std::string& text, const std::string& caption, unsigned style);

// The shell's "open" on an address, through the front end in use; false
// when nothing could open it.
bool open_url(const std::string& url);

}  // namespace platform
