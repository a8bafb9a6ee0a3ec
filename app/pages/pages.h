#pragma once
// The wizard pages, as dialog procedures, and the runs of them that the
// wizard makes. Each page runs modally and leaves its outcome in the run
// state; the procedures' own results are 0, or kIdBack when the user went
// back to the page before. They share one
// header because they are one story read in order, and each is a procedure
// and a run of it: five headers would each hold two lines.
#include <cstdint>
#include <string>
#include <vector>

#include "model/release.h"

namespace platform {
class Window;
}

// What the user chose on a page, kept by the wizard so that a page shown
// again (after "<< Back", or a search without hits) opens as it was left.
struct PageChoice {
  int line = -1;      // the list's chosen line; -1 for the page's own choice
  std::string typed;  // the text in the search-term page's field
  // The search-result page: the lines of its release links ("/release/ID"),
  // in their order, which the links cannot spell out themselves.
  std::vector<std::string> release_lines;
};

// How a page was left.
enum class PageExit { kNext, kBack, kCancel };

// Search-term page (template 104): sets g_search_term, or g_cancelled. The
// text in its field wins over the chosen line.
bool search_term_dialog(platform::Window& dialog, unsigned message, uintptr_t wparam,
                        intptr_t lparam);
PageExit show_search_term_page(PageChoice& choice);

// Search-result page (template 101): sets g_result_url and g_label, or
// g_cancelled.
bool search_result_dialog(platform::Window& dialog, unsigned message, uintptr_t wparam,
                          intptr_t lparam);
PageExit show_search_result_page(PageChoice& choice);
// "/artist/The+Quiet+Ones" -> "The Quiet Ones (Artist)"
std::string search_result_line(const std::string& link);
// A release the search found, "Harbour Lights - Night Ferry" as the
// database titles it -> "Night Ferry - Harbour Lights (Release)".
std::string release_hit_line(const std::string& title);
// Whether a search result's link is a release's, chosen to go straight to it.
bool is_release_link(const std::string& link);

// Release selection page (template 101): reads and matches the chosen
// release, or sets g_cancelled.
bool release_selection_dialog(platform::Window& dialog, unsigned message, uintptr_t wparam,
                              intptr_t lparam);
PageExit show_release_selection_page(PageChoice& choice);
// "Title[Format, Label]", or with the artist on a label's page.
std::string release_line(const ReleaseEntry& entry, bool label_page);

// Match confirmation page (template 102): Force Match, then "Finish!"
// applies the release to the folder.
bool match_confirmation_dialog(platform::Window& dialog, unsigned message, uintptr_t wparam,
                               intptr_t lparam);
PageExit show_match_confirmation_page();
void fill_match_lists(platform::Window& dialog);
void layout_match_dialog(platform::Window& dialog, int width, int height);
// Zero-pads "1".."9" when the release runs into two digits.
void pad_track_numbers(Release& release);

// Output name configuration (template 106), opened from the menu.
bool name_configuration_dialog(platform::Window& dialog, unsigned message, uintptr_t wparam,
                               intptr_t lparam);

// Database token (template 107), opened from the menu: stores the token in
// the token file, or removes the file for an empty text.
bool database_token_dialog(platform::Window& dialog, unsigned message, uintptr_t wparam,
                           intptr_t lparam);
