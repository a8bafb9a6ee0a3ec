// The second page: the artists and labels the search found.
#include "app/error_box.h"
#include "app/pages.h"
#include "app/pick_page.h"
#include "common/text.h"
#include "model/run_state.h"
#include "platform/dialog.h"
#include "platform/trace.h"
#include "resources/templates.h"
#include "web/hosts.h"
#include "web/page_text.h"

namespace {

bool is_artist_link(const std::string& link) { return find_text(link, "artist/", 0) != -1; }

void open_search_result_page(platform::Window& dialog) {
  dialog.set_text("Select search result term");
  g_result_url.clear();
  for (const std::string& link : g_rurl) dialog.add_line(kIdResultList, search_result_line(link));
  platform::trace("g_rurl results:%d\n", static_cast<int>(g_rurl.size()));
  if (g_rurl.size() == 1) dialog.set_selection(kIdResultList, 0);
}

void take_search_result(platform::Window& dialog) {
  const int selected = dialog.selection(kIdResultList);
  if (selected < 0 || selected >= static_cast<int>(g_rurl.size())) {
    error_box("Please select a search result from the list", &dialog);
    return;
  }
  const std::string& link = g_rurl[static_cast<size_t>(selected)];
  platform::trace("looking for artist/ in %s\n", link.c_str());
  g_label = !is_artist_link(link);
  platform::trace(g_label ? "label is true\n" : "label is false\n");
  g_result_url = std::string(kDatabaseBase) + link;
  dialog.end(0);
}

}  // namespace

std::string search_result_line(const std::string& link) {
  const bool artist = is_artist_link(link);
  const size_t prefix = artist ? 8 : 7;  // "/artist/" or "/label/"
  std::string line = link.size() > prefix ? link.substr(prefix) : "";
  replace_char(line, '+', ' ');
  line += artist ? " (Artist)" : " (Label)";
  platform::trace("adding '%s' to list\n", line.c_str());
  url_unescape(line);
  return page_text_in_code_page(line);
}

bool search_result_dialog(platform::Window& dialog, unsigned message, uintptr_t wparam,
                          intptr_t lparam) {
  static const PickPage kPage = {open_search_result_page, take_search_result, nullptr, "#refine"};
  return pick_page_message(kPage, dialog, message, wparam, lparam);
}

PageExit show_search_result_page(PageChoice& choice) {
  return run_pick_page(kDialogResultSelection, search_result_dialog, choice);
}
