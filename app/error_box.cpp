#include "app/error_box.h"

#include "platform/dialogs/front_end.h"

int error_box(const std::string& text, platform::Window* owner) {
  return platform::message_box(owner, text, "Error!", platform::kBoxOk | platform::kBoxIconWarning);
}
