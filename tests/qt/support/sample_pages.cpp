#include "tests/qt/support/sample_pages.h"

#include <algorithm>

#include "resources/templates.h"

namespace qt_tests {
namespace {

using platform::Window;

SampleRun* g_run = nullptr;

void show_box(Window* owner, const std::string& text, const std::string& caption,
              unsigned style = platform::kBoxOk) {
  platform::message_box(owner, text, caption, style);
}

void error(Window& page, const std::string& text) {
  show_box(&page, text, "Error!", platform::kBoxIconWarning);
}

// The menu every wizard page carries.
void menu_command(Window& page, int command, const std::string& anchor) {
  g_run->commands.push_back(command);
  const std::string caption = "Plinth Duziva - www.plinth.example";
  switch (command) {
    case kCmdDirectory:
      show_box(&page, g_run->directory, "Current Directory");
      break;
    case kCmdAbout:
      show_box(&page, "Names and tags albums\nVersion 0.9\nwww.plinth.example", caption);
      break;
    case kCmdOnlineHelp:
      g_run->urls.push_back(kHelpAddress + anchor);
      platform::open_url(kHelpAddress + anchor);
      break;
    case kCmdFilenames:
      show_sample_names_page();
      break;
    case kCmdToggleM3u:
      g_run->playlist = !g_run->playlist;
      page.check_menu_item(kCmdToggleM3u, g_run->playlist);
      show_box(&page,
               g_run->playlist ? "M3U Playlist Generation on" : "M3U Playlist Generation off",
               caption);
      break;
  }
}

bool is_menu_command(int id) { return id >= kCmdAbout && id <= kCmdDatabaseToken; }

bool cancel(Window& page) {
  g_run->cancelled = true;
  page.end(0);
  return true;
}

std::string field(Window& page, int id) {
  char buffer[256];
  page.get_item_text(id, buffer, sizeof buffer);
  return buffer;
}

bool search_term_proc(Window& page, unsigned message, uintptr_t wparam, intptr_t) {
  if (message == platform::kWmInitDialog) {
    page.set_text("Select search term");
    int best = -1, best_count = 0;
    for (size_t i = 0; i < g_run->candidates.size(); ++i) {
      page.add_line(kIdCandidateList, g_run->candidates[i]);
      const int count = i < g_run->counts.size() ? g_run->counts[i] : 1;
      if (count > best_count) best = static_cast<int>(i), best_count = count;
    }
    page.set_selection(kIdCandidateList, best);
    return true;
  }
  if (message == platform::kWmClose) return cancel(page);
  if (message != platform::kWmCommand) return false;
  const int id = platform::low_word(wparam);
  if (id == kIdNext) {
    const int line = page.selection(kIdCandidateList);
    if (line < 0) return true;
    g_run->term = g_run->candidates[line];
    page.end(0);
  } else if (id == kIdManualSearch) {
    g_run->term = field(page, kIdTermField);
    page.end(0);
  } else if (id == kIdCancelButton) {
    cancel(page);
  } else if (is_menu_command(id)) {
    menu_command(page, id, "");
  }
  return true;
}

bool pick_proc(Window& page, unsigned message, uintptr_t wparam, const std::string& caption,
               int extent, const std::string& anchor) {
  if (message == platform::kWmInitDialog) {
    page.set_text(caption);
    if (extent > 0) page.set_horizontal_extent(kIdResultList, extent);
    for (const std::string& line : g_run->results) page.add_line(kIdResultList, line);
    if (g_run->results.size() == 1) page.set_selection(kIdResultList, 0);
    return true;
  }
  if (message == platform::kWmClose) return cancel(page);
  if (message != platform::kWmCommand) return false;
  const int id = platform::low_word(wparam);
  if (id == kIdNext) {
    g_run->chosen = page.selection(kIdResultList);
    if (g_run->chosen < 0) {
      error(page, "Please select a search result from the list");
      return true;
    }
    page.end(0);
  } else if (id == kIdCancelButton) {
    cancel(page);
  } else if (is_menu_command(id)) {
    menu_command(page, id, anchor);
  }
  return true;
}

bool result_proc(Window& page, unsigned message, uintptr_t wparam, intptr_t) {
  return pick_proc(page, message, wparam, "Select search result term", 0, "#refine");
}

int longest(const std::vector<std::string>& lines) {
  int most = -1;
  for (const std::string& line : lines) most = std::max(most, static_cast<int>(line.size()));
  return most;
}

bool release_proc(Window& page, unsigned message, uintptr_t wparam, intptr_t) {
  return pick_proc(page, message, wparam, "Select release", longest(g_run->results) * 5 + 10,
                   "#refine");
}

void fill_match_lists(Window& page) {
  for (int id : {kIdOriginalList, kIdReleaseList, kIdMatchesList}) page.reset_content(id);
  page.set_horizontal_extent(kIdOriginalList, longest(g_run->files) * 5 + 10);
  page.set_horizontal_extent(kIdReleaseList, longest(g_run->tracks) * 5 + 10);
  page.set_horizontal_extent(kIdMatchesList, longest(g_run->tracks) * 5 + 10);
  for (size_t i = 0; i < g_run->files.size(); ++i) {
    page.add_line(kIdOriginalList, g_run->files[i]);
    const int track = i < g_run->track_of_file.size() ? g_run->track_of_file[i] : -1;
    page.add_line(kIdMatchesList, track >= 0 ? g_run->tracks[track] : "");
  }
  for (const std::string& track : g_run->tracks) page.add_line(kIdReleaseList, track);
}

void force_match(Window& page) {
  const int file = page.selection(kIdOriginalList);
  if (file < 0) return error(page, "Please select an original track filename to rename");
  const int track = page.selection(kIdReleaseList);
  if (track < 0)
    return error(page, "Please assign a matching track filename from the release database");
  g_run->track_of_file.resize(g_run->files.size(), -1);
  g_run->track_of_file[file] = track;
  fill_match_lists(page);
}

bool match_proc(Window& page, unsigned message, uintptr_t wparam, intptr_t lparam) {
  switch (message) {
    case platform::kWmInitDialog:
      layout_sample_match_page(page, page.client_size().width, page.client_size().height);
      page.set_text("Confirm track matches");
      page.scroll_together(kIdOriginalList, kIdMatchesList);
      fill_match_lists(page);
      return true;
    case platform::kWmSize: {
      const platform::Size size{platform::low_word(static_cast<uintptr_t>(lparam)),
                                platform::high_word(static_cast<uintptr_t>(lparam))};
      g_run->sizes.push_back(size);
      layout_sample_match_page(page, size.width, size.height);
      return true;
    }
    case platform::kWmGetMinMaxInfo: {
      auto* info = reinterpret_cast<platform::MinMaxInfo*>(lparam);
      info->min_track_width = kMatchMinWidth;
      info->min_track_height = kMatchMinHeight;
      return true;
    }
    case platform::kWmClose:
      page.end(0);
      return true;
    case platform::kWmCommand:
      break;
    default:
      return false;
  }
  const int id = platform::low_word(wparam);
  if (id == kIdForceMatch) {
    force_match(page);
  } else if (id == kIdNext) {
    g_run->finished = true;
    show_box(nullptr, "Done!", "Plinth Duziva - www.plinth.example");
    page.end(0);
  } else if (id == kIdCancelButton) {
    page.end(0);
  } else if (is_menu_command(id)) {
    menu_command(page, id, "#trackmatch");
  }
  return true;
}

bool names_proc(Window& page, unsigned message, uintptr_t wparam, intptr_t) {
  if (message == platform::kWmInitDialog) {
    page.set_item_text(kIdDirectoryFormat, g_run->directory_format);
    page.set_item_text(kIdPlaylistFormat, g_run->playlist_format);
    page.set_item_text(kIdTrackFormat, g_run->track_format);
    return true;
  }
  if (message == platform::kWmClose) {
    page.end(0);
    return true;
  }
  if (message != platform::kWmCommand) return false;
  const int id = platform::low_word(wparam);
  if (id == kIdNext) {
    g_run->directory_format = field(page, kIdDirectoryFormat);
    g_run->playlist_format = field(page, kIdPlaylistFormat);
    g_run->track_format = field(page, kIdTrackFormat);
    page.end(0);
  } else if (id == kIdCancelButton) {
    page.end(0);
  } else if (id == kIdNamesHelp) {
    show_box(&page,
             "/1 = Release Artist\n/2 = Release Title\n/3 = Label\n/4 = Catalouge Number\n"
             "/5 = Release Date\n/6 = Track Artist\n/7 = Track Name\n/8 = Track Number\n"
             "/9 = Style",
             "Help");
  }
  return true;
}

void show(int template_id, platform::DialogProc proc) {
  dialog_box_param(template_id, nullptr, proc, 0);
}

}  // namespace

void set_sample_run(SampleRun* run) { g_run = run; }

void show_sample_search_term_page() { show(kDialogSearchTerm, search_term_proc); }
void show_sample_result_page() { show(kDialogResultSelection, result_proc); }
void show_sample_release_page() { show(kDialogResultSelection, release_proc); }
void show_sample_match_page() { show(kDialogMatchConfirmation, match_proc); }
void show_sample_names_page() { show(kDialogNameConfiguration, names_proc); }

void layout_sample_match_page(Window& page, int width, int height) {
  const int x = width / 3;
  const int list_width = (width - 60) / 3;
  page.move_control(kIdForceMatch, {5, 5, 70, 20});
  page.move_control(kIdCancelButton, {x, 5, 70, 20});
  page.move_control(kIdNext, {2 * x, 5, 70, 20});
  page.move_control(kIdReleaseLabel, {5, 35, 100, 20});
  page.move_control(kIdOriginalLabel, {x, 35, 100, 20});
  page.move_control(kIdMatchesLabel, {2 * x, 35, 100, 20});
  page.move_control(kIdReleaseList, {5, 65, list_width, height - 75});
  page.move_control(kIdOriginalList, {x, 65, list_width, height - 75});
  page.move_control(kIdMatchesList, {2 * x, 65, list_width, height - 75});
}

SampleRun sample_album() {
  SampleRun run;
  run.candidates = {"The Quiet Ones", "Harbour Lights", "The Quiet Ones Harbour Lights",
                    "Quiet Ones"};
  run.counts = {3, 2, 1, 1};
  run.results = {"The Quiet Ones (Artist)", "Quiet Ones, The (Artist)", "North Sound (Label)",
                 "The Quiet Ones & Friends (Artist)"};
  run.tracks = {
      "01 Harbour Lights", "02 Salt on the Window",      "03 Ferry at Dawn", "04 Lantern Street",
      "05 North Sound",    "06 The Long Pier",           "07 Gull Song",     "08 Low Tide",
      "09 Breakwater",     "10 Harbour Lights (Reprise)"};
  run.files = {"01 - harbour lights.mp3",
               "02 - salt on the window.mp3",
               "03 ferry.mp3",
               "04 - lantern st.mp3",
               "05 - north sound.mp3",
               "06 - long pier.mp3",
               "07 - gull song.mp3",
               "08 - low tide.mp3",
               "09 - breakwater.mp3",
               "10 - harbour lights (reprise).mp3"};
  run.track_of_file = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  return run;
}

}  // namespace qt_tests
