#include "platform/front_end.h"

#include "platform/dialog.h"
#include "platform/front_end_choice.h"
#include "platform/shell.h"
#include "platform/trace.h"

namespace platform {
namespace {

FrontEnd* installed = nullptr;

}  // namespace

void FrontEnd::run_modal(Window& page) {
  page.close();
  if (!page.ended()) page.end(kIdCancel);
}

void FrontEnd::open_url(const std::string& url) { xdg_open(url); }

FrontEnd& front_end() { return installed != nullptr ? *installed : chosen_front_end(); }

void set_front_end(FrontEnd* front_end) { installed = front_end; }

int message_box(Window* owner, const std::string& text, const std::string& caption,
                unsigned style) {
  flush_trace();
  return front_end().message_box(owner, text, caption, style);
}

void open_url(const std::string& url) { front_end().open_url(url); }

}  // namespace platform
