// The last page: the tracks, the files and which file is which track;
// "Force Match" corrects it, "Finish!" applies the release to the folder.
#include "app/error_box.h"
#include "app/finish/apply_release.h"
#include "app/pages/menu_commands.h"
#include "app/pages/pages.h"
#include "model/run_state.h"
#include "platform/dialogs/dialog.h"
#include "platform/dialogs/front_end.h"
#include "platform/trace.h"
#include "resources/dialog_templates.h"

namespace {

// "Artist \x96 Title [CAT 001]": the release the page confirms.
std::string release_context(const Release& release) {
  std::string line = "Release: " + release.artist + " \x96 " + release.title;
  if (!release.catalog_number.empty()) line += " [" + release.catalog_number + "]";
  return line;
}

void open_match_page(platform::Window& dialog) {
  const platform::Size client = dialog.client_size();
  layout_match_dialog(dialog, client.width, client.height);
  dialog.set_text("Confirm track matches");
  // Each file stands beside the track it was matched to.
  dialog.scroll_together(kIdOriginalList, kIdMatchesList);
  platform::trace("initing dlg\n");
  if (Release* release = chosen_release()) {
    pad_track_numbers(*release);
    dialog.set_item_text(kIdContextLine, release_context(*release));
  }
  fill_match_lists(dialog);
  // A fixed marker in the trace, so that the logs of two runs line up here.
  platform::trace("%s::%d\n", "main", 244);
}

void force_match(platform::Window& dialog) {
  const int file = dialog.selection(kIdOriginalList);
  if (file < 0) {
    error_box("Please select an original track filename to rename", &dialog);
    return;
  }
  const int track = dialog.selection(kIdReleaseList);
  if (track < 0) {
    error_box("Please assign a matching track filename from the release database", &dialog);
    return;
  }
  std::vector<int32_t>& track_of_file = g_run.assignment.track_of_file;
  if (static_cast<size_t>(file) >= track_of_file.size())
    track_of_file.resize(static_cast<size_t>(file) + 1, -1);
  track_of_file[static_cast<size_t>(file)] = track;
  fill_match_lists(dialog);
  // Two files with one track would get one name, and the second rename
  // would fail at Finish!: say so now, while it can be corrected.
  for (size_t other = 0; other < track_of_file.size() && other < g_run.files.size(); ++other) {
    if (static_cast<int>(other) == file || track_of_file[other] != track) continue;
    platform::message_box(&dialog,
                          "This track is also matched to " + g_run.files[other] +
                              ". Please force another track for one of the two files, or the "
                              "second to be renamed keeps its old name.",
                          "Force Match", platform::kBoxOk | platform::kBoxIconWarning);
    return;
  }
}

}  // namespace

bool match_confirmation_dialog(platform::Window& dialog, unsigned message, uintptr_t wparam,
                               intptr_t lparam) {
  switch (message) {
    case platform::kWmInitDialog:
      show_menu_state(dialog);
      open_match_page(dialog);
      return true;
    case platform::kWmSize: {
      const uintptr_t size = static_cast<uintptr_t>(lparam);
      layout_match_dialog(dialog, platform::low_word(size), platform::high_word(size));
      return true;
    }
    case platform::kWmGetMinMaxInfo: {
      auto* info = reinterpret_cast<platform::MinMaxInfo*>(lparam);
      info->min_track_width = 400;
      info->min_track_height = 200;
      return true;
    }
    case platform::kWmCommand: {
      const int id = platform::low_word(wparam);
      if (id == kIdForceMatch) {
        force_match(dialog);
        return true;
      }
      if (id == kIdNext) {
        apply_release(&dialog);
        dialog.end(0);
        return true;
      }
      if (id == platform::kIdCancel) {
        dialog.end(0);
        return true;
      }
      if (id == kIdBack) {
        dialog.end(kIdBack);
        return true;
      }
      handle_menu_command(dialog, id, "#trackmatch");
      return false;
    }
    case platform::kWmClose:
      dialog.end(0);
      return true;
  }
  return false;
}

PageExit show_match_confirmation_page() {
  const int result =
      dialog_box_param(kDialogMatchConfirmation, nullptr, match_confirmation_dialog, 0);
  if (result == kIdBack) return PageExit::kBack;
  return g_run.finished ? PageExit::kNext : PageExit::kCancel;
}
