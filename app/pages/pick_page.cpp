#include "app/pages/pick_page.h"

#include "app/pages/menu_commands.h"
#include "model/run_state.h"
#include "resources/dialog_templates.h"

namespace {

// Every pick page has its list under this id.
constexpr int kIdPickList = kIdCandidateList;
static_assert(kIdCandidateList == kIdResultList, "the pick pages share their list's id");

void cancel_run(platform::Window& dialog) {
  g_cancelled = true;
  dialog.end(0);
}

// What the user chose, before a button acts on it.
void remember_choice(const platform::Window& dialog) {
  PageChoice* choice = page_choice(dialog);
  if (choice == nullptr) return;
  choice->line = dialog.selection(kIdPickList);
  char text[256];
  dialog.get_item_text(kIdTermField, text, sizeof text);
  choice->typed = text;
}

// A page shown again: its line chosen and its field filled as they were.
void restore_choice(platform::Window& dialog) {
  const PageChoice* choice = page_choice(dialog);
  if (choice == nullptr) return;
  if (choice->line >= 0) dialog.set_selection(kIdPickList, choice->line);
  if (!choice->typed.empty()) dialog.set_item_text(kIdTermField, choice->typed);
}

bool pick_page_command(const PickPage& page, platform::Window& dialog, int id,
                       unsigned notification) {
  if (notification == platform::kButtonClicked &&
      (id == kIdNext || id == kIdBack || id == kIdManualSearch)) {
    remember_choice(dialog);
  }
  if (id == kIdNext) {
    page.next(dialog);
    return true;
  }
  if (id == platform::kIdCancel) {
    cancel_run(dialog);
    return true;
  }
  if (id == kIdBack) {
    dialog.end(kIdBack);
    return true;
  }
  if (page.other_command != nullptr && page.other_command(dialog, id, notification)) return true;
  handle_menu_command(dialog, id, page.help_anchor);
  return false;
}

}  // namespace

PageChoice* page_choice(const platform::Window& dialog) {
  return reinterpret_cast<PageChoice*>(dialog.user_data());
}

bool pick_page_message(const PickPage& page, platform::Window& dialog, unsigned message,
                       uintptr_t wparam, intptr_t lparam) {
  switch (message) {
    case platform::kWmInitDialog:
      dialog.set_user_data(lparam);
      show_menu_state(dialog);
      page.open(dialog);
      restore_choice(dialog);
      return true;
    case platform::kWmCommand:
      return pick_page_command(page, dialog, platform::low_word(wparam),
                               static_cast<unsigned>(platform::high_word(wparam)));
    case platform::kWmClose:
      cancel_run(dialog);
      return true;
  }
  return false;
}

PageExit run_pick_page(int template_id, platform::DialogProc procedure, PageChoice& choice) {
  const int result =
      dialog_box_param(template_id, nullptr, procedure, reinterpret_cast<intptr_t>(&choice));
  if (g_cancelled) return PageExit::kCancel;
  return result == kIdBack ? PageExit::kBack : PageExit::kNext;
}
