// Kept alone in its file: the search's own tests bring a stand-in for it.
#include "app/pages.h"
#include "app/run_state.h"
#include "resources/templates.h"

void show_search_result_page() {
  dialog_box_param(g_instance, kDialogResultSelection, nullptr, search_result_dialog, 0);
}
