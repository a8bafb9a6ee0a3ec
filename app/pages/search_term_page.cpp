// The first page: the search-term candidates, or a term of the user's own.
#include "app/error_box.h"
#include "app/pages/pages.h"
#include "app/pages/pick_page.h"
#include "model/run_state.h"
#include "platform/dialogs/dialog.h"
#include "resources/dialog_templates.h"

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

// The field's text, at most 255 characters; "" when it holds only blanks.
std::string typed_term(const platform::Window& dialog) {
  char text[256];
  dialog.get_item_text(kIdTermField, text, sizeof text);
  const std::string term = text;
  return term.find_first_not_of(" \t") == std::string::npos ? std::string() : term;
}

void take_typed_term(platform::Window& dialog) {
  const std::string term = typed_term(dialog);
  // An empty search would only end in "no matches".
  if (term.empty()) {
    error_box("Please type a search term into the field.", &dialog);
    return;
  }
  g_search_term = term;
  dialog.end(0);
}

// Text the user typed wins over the chosen line: Enter after typing
// searches what was typed.
void take_chosen_term(platform::Window& dialog) {
  const int selected = dialog.selection(kIdCandidateList);
  if (!typed_term(dialog).empty() || selected < 0 || selected >= g_terms.size()) {
    take_typed_term(dialog);
  } else {
    g_search_term = g_terms.item(selected);
    dialog.end(0);
  }
}

bool other_command(platform::Window& dialog, int id, unsigned notification) {
  if (id == kIdManualSearch && notification == platform::kButtonClicked) {
    take_typed_term(dialog);
    return true;
  }
  // Choosing a candidate after typing: the candidate is what is meant now.
  if (id == kIdCandidateList && notification == platform::kListSelectionChange) {
    dialog.set_item_text(kIdTermField, "");
    return true;
  }
  return false;
}

}  // namespace

bool search_term_dialog(platform::Window& dialog, unsigned message, uintptr_t wparam,
                        intptr_t lparam) {
  static const PickPage kPage = {open_search_term_page, take_chosen_term, other_command, ""};
  return pick_page_message(kPage, dialog, message, wparam, lparam);
}

PageExit show_search_term_page(PageChoice& choice) {
  return run_pick_page(kDialogSearchTerm, search_term_dialog, choice);
}
