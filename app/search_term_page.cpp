// The first page: the search-term candidates, or a term of the user's own.
#include "app/menu_commands.h"
#include "app/pages.h"
#include "app/run_state.h"
#include "platform/dialog.h"
#include "resources/templates.h"

namespace {

void open_search_term_page(platform::Window& dialog) {
  dialog.set_text("Select search term");
  int best = -1;
  int32_t best_count = 0;
  for (int i = 0; i < g_terms.size(); ++i) {
    dialog.add_line(kIdCandidateList, g_terms.item(i));
    // Strictly greater: among equal counts the first stays chosen.
    if (best < 0 || g_terms.count(i) > best_count) {
      best = i;
      best_count = g_terms.count(i);
    }
  }
  dialog.set_selection(kIdCandidateList, best);
}

void take_typed_term(platform::Window& dialog) {
  char text[256];
  dialog.get_item_text(kIdTermField, text, sizeof text);
  g_search_term = text;
  dialog.end(0);
}

}  // namespace

bool search_term_dialog(platform::Window& dialog, unsigned message, uintptr_t wparam, intptr_t) {
  switch (message) {
    case platform::kWmInitDialog:
      open_search_term_page(dialog);
      return true;
    case platform::kWmCommand: {
      const int id = platform::low_word(wparam);
      if (id == kIdNext) {
        const int selected = dialog.selection(kIdCandidateList);
        // Without a candidate to take, the typed text is all there is.
        if (selected < 0 || selected >= g_terms.size()) {
          take_typed_term(dialog);
        } else {
          g_search_term = g_terms.item(selected);
          dialog.end(0);
        }
        return true;
      }
      if (id == kIdManualSearch) {
        take_typed_term(dialog);
        return true;
      }
      if (id == kIdCancelButton) {
        g_cancelled = true;
        dialog.end(0);
        return true;
      }
      handle_menu_command(dialog, id, "");
      return false;
    }
    case platform::kWmClose:
      g_cancelled = true;
      dialog.end(0);
      return true;
  }
  return false;
}

void show_search_term_page() {
  dialog_box_param(g_instance, kDialogSearchTerm, nullptr, search_term_dialog, 0);
}
