// The second page: the artists and labels the search found.
#include "app/error_box.h"
#include "app/pages/pages.h"
#include "app/pages/pick_page.h"
#include "common/text.h"
#include "model/run_state.h"
#include "platform/codepage.h"
#include "platform/dialogs/dialog.h"
#include "platform/trace.h"
#include "resources/dialog_templates.h"
#include "web/hosts.h"
#include "web/site/page_text.h"

namespace {

bool is_artist_link(const std::string& link) { return find_text(link, "artist/", 0) != -1; }

// The line to choose when nothing else decides: the only artist or label,
// else the release whose title is the term, else the first release.
int preselected_line(const std::vector<std::string>& lines) {
  int names = 0;
  int first_release = -1;
  for (size_t i = 0; i < g_rurl.size(); ++i) {
    if (!is_release_link(g_rurl[i])) {
      ++names;
    } else if (first_release < 0) {
      first_release = static_cast<int>(i);
    }
  }
  if (names == 1) return 0;
  if (names > 0 || first_release < 0) return -1;
  const std::string wanted = platform::ascii_lower(g_search_term) + " - ";
  for (size_t i = static_cast<size_t>(first_release); i < lines.size(); ++i) {
    if (platform::ascii_lower(lines[i]).compare(0, wanted.size(), wanted) == 0) {
      return static_cast<int>(i);
    }
  }
  return first_release;
}

void open_search_result_page(platform::Window& dialog) {
  dialog.set_text("Select search result term");
  g_result_url.clear();
  const PageChoice* choice = page_choice(dialog);
  size_t releases = 0;
  std::vector<std::string> lines;
  for (const std::string& link : g_rurl) {
    const bool known =
        is_release_link(link) && choice != nullptr && releases < choice->release_lines.size();
    lines.push_back(known ? choice->release_lines[releases++] : search_result_line(link));
    dialog.add_line(kIdResultList, lines.back());
  }
  platform::trace("g_rurl results:%d\n", static_cast<int>(g_rurl.size()));
  dialog.set_selection(kIdResultList, preselected_line(lines));
}

void take_search_result(platform::Window& dialog) {
  const int selected = dialog.selection(kIdResultList);
  if (selected < 0 || selected >= static_cast<int>(g_rurl.size())) {
    error_box("Please select a search result from the list", &dialog);
    return;
  }
  const std::string& link = g_rurl[static_cast<size_t>(selected)];
  // A release found by the search is read at once, as a typed address is.
  if (is_release_link(link)) {
    g_label = false;
    g_result_url = std::string(kDatabaseBase) + link;
    dialog.end(0);
    return;
  }
  platform::trace("looking for artist/ in %s\n", link.c_str());
  g_label = !is_artist_link(link);
  platform::trace(g_label ? "label is true\n" : "label is false\n");
  g_result_url = std::string(kDatabaseBase) + link;
  dialog.end(0);
}

}  // namespace

bool is_release_link(const std::string& link) { return link.compare(0, 9, "/release/") == 0; }

std::string release_hit_line(const std::string& title) {
  const size_t split = title.find(" - ");
  if (split == std::string::npos) return title + " (Release)";
  return title.substr(split + 3) + " - " + title.substr(0, split) + " (Release)";
}

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
