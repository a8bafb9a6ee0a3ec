// The first page: the search-term candidates, or a term of the user's own.
#include "app/pages.h"
#include "app/pick_page.h"
#include "model/run_state.h"
#include "platform/dialog.h"
#include "resources/templates.h"

namespace {

void open_search_term_page(platform::Window& dialog) {
  dialog.set_text("Select search term");
  dialog.set_item_text(kIdContextLine, "Folder: " + g_run.folder_name);
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

void take_chosen_term(platform::Window& dialog) {
  const int selected = dialog.selection(kIdCandidateList);
  // Without a candidate to take, the typed text is all there is.
  if (selected < 0 || selected >= g_terms.size()) {
    take_typed_term(dialog);
  } else {
    g_search_term = g_terms.item(selected);
    dialog.end(0);
  }
}

bool manual_search(platform::Window& dialog, int id) {
  if (id != kIdManualSearch) return false;
  take_typed_term(dialog);
  return true;
}

}  // namespace

bool search_term_dialog(platform::Window& dialog, unsigned message, uintptr_t wparam, intptr_t) {
  static const PickPage kPage = {open_search_term_page, take_chosen_term, manual_search, ""};
  return pick_page_message(kPage, dialog, message, wparam);
}

void show_search_term_page() {
  dialog_box_param(kDialogSearchTerm, nullptr, search_term_dialog, 0);
}
