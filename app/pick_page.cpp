#include "app/pick_page.h"

#include "app/menu_commands.h"
#include "model/run_state.h"
#include "resources/templates.h"

namespace {

void cancel_run(platform::Window& dialog) {
  g_cancelled = true;
  dialog.end(0);
}

bool pick_page_command(const PickPage& page, platform::Window& dialog, int id) {
  if (id == kIdNext) {
    page.next(dialog);
    return true;
  }
  if (id == kIdCancelButton) {
    cancel_run(dialog);
    return true;
  }
  if (page.other_button != nullptr && page.other_button(dialog, id)) return true;
  handle_menu_command(dialog, id, page.help_anchor);
  return false;
}

}  // namespace

bool pick_page_message(const PickPage& page, platform::Window& dialog, unsigned message,
                       uintptr_t wparam) {
  switch (message) {
    case platform::kWmInitDialog:
      show_menu_state(dialog);
      page.open(dialog);
      return true;
    case platform::kWmCommand:
      return pick_page_command(page, dialog, platform::low_word(wparam));
    case platform::kWmClose:
      cancel_run(dialog);
      return true;
  }
  return false;
}
