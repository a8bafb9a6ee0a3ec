#pragma once
// Small page procedures over the program's real templates, written as the
// wizard's pages are, for driving the Qt front end in tests and for the
// screenshots. What the user did ends up in the SampleRun.
#include <string>
#include <vector>

#include "platform/dialog.h"

namespace qt_tests {

struct SampleRun {
  // Search-term page (template 104).
  std::vector<std::string> candidates;
  std::vector<int> counts;
  std::string term;
  // Result and release pages (template 101).
  std::vector<std::string> results;  // shown as they are
  int chosen = -1;
  // Match page (template 102).
  std::vector<std::string> tracks;  // "01 Name"
  std::vector<std::string> files;
  std::vector<int> track_of_file;
  bool finished = false;
  std::vector<platform::Size> sizes;  // every size message
  // Name configuration (template 106).
  std::string directory_format = "/1 - /2";
  std::string playlist_format = "/1 - /2";
  std::string track_format = "/8 - /7";
  bool playlist = false;
  // Every page.
  bool cancelled = false;
  std::vector<int> commands;      // menu commands, in order
  std::vector<std::string> urls;  // addresses "Online Help" asked for
  std::string directory = "/music/The Quiet Ones - Harbour Lights";
};

// The run the procedures work on; set it before running a page.
void set_sample_run(SampleRun* run);

// Each shows its page modally on the current front end.
void show_sample_search_term_page();
void show_sample_result_page();   // "Select search result term"
void show_sample_release_page();  // "Select release", with a horizontal extent
void show_sample_match_page();    // "Confirm track matches"
void show_sample_names_page();    // "Output Name Configuration"

// The layout the match page gives itself for a client area of w by h
// pixels: buttons and labels in a row at 0, x, 2x with x = w / 3, and three
// lists of width (w - 60) / 3 below them.
void layout_sample_match_page(platform::Window& page, int width, int height);

constexpr int kMatchMinWidth = 400;
constexpr int kMatchMinHeight = 200;
constexpr const char* kHelpAddress = "http://www.plinth.example/plinthhelp.html";

// An album that fills every page, for the screenshots and the tests.
SampleRun sample_album();

}  // namespace qt_tests
