#include "app/error_box.h"

#include "model/run_state.h"
#include "platform/front_end.h"

int error_box(const std::string& text, platform::Window* owner) {
  return platform::message_box(owner, text, "Error!", platform::kBoxOk | platform::kBoxIconWarning);
}

int lookup_failure_box(const std::string& text, platform::Window* owner) {
  g_run.could_not_go_on = true;
  return error_box(text, owner);
}
