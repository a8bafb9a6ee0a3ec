#include "platform/dialogs/front_end.h"

#include <cstdio>

#include "platform/dialogs/dialog.h"
#include "platform/shell.h"
#include "platform/trace.h"

namespace platform {
namespace {

// Until the program installs its front end, boxes are only reported on
// standard error and answered as an empty input would answer them.
class UntilInstalled : public FrontEnd {
 public:
  int message_box(Window*, const std::string& text, const std::string& caption,
                  unsigned style) override {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return (style & 0x0F) == kBoxYesNo ? kAnswerNo : kAnswerOk;
  }
};

FrontEnd* installed = nullptr;

}  // namespace

void FrontEnd::run_modal(Window& page) {
  page.close();
  if (!page.ended()) page.end(kIdCancel);
}

bool FrontEnd::open_url(const std::string& url) { return xdg_open(url); }

FrontEnd& front_end() {
  static UntilInstalled until_installed;
  return installed != nullptr ? *installed : until_installed;
}

void set_front_end(FrontEnd* front_end) { installed = front_end; }

int message_box(Window* owner, const std::string& text, const std::string& caption,
                unsigned style) {
  flush_trace();
  // A box shown during a long wait replaces its notice until the next tick.
  front_end().end_wait();
  return front_end().message_box(owner, text, caption, style);
}

bool open_url(const std::string& url) { return front_end().open_url(url); }

}  // namespace platform
