// What the match confirmation page shows and where: its three lists, their
// layout at any size, and the padded track numbers.
#include <algorithm>

#include "app/pages/pages.h"
#include "model/run_state.h"
#include "platform/dialogs/dialog.h"
#include "platform/trace.h"
#include "resources/dialog_templates.h"

namespace {

int track_count(const Release& release) { return static_cast<int>(release.track_names.size()); }

std::string track_label(const Release& release, int track) {
  if (track < 0 || track >= track_count(release)) return "";  // a file left without a track
  const size_t k = static_cast<size_t>(track);
  const std::string number = k < release.track_numbers.size() ? release.track_numbers[k] : "";
  return number + " " + release.track_names[k];
}

// How many files are matched to the track; a track two files share would
// give both one name.
int files_matched_to(int track) {
  if (track < 0) return 0;
  const std::vector<int32_t>& track_of_file = g_run.assignment.track_of_file;
  int files = 0;
  for (size_t i = 0; i < track_of_file.size() && i < g_run.files.size(); ++i)
    files += track_of_file[i] == track;
  return files;
}

}  // namespace

void pad_track_numbers(Release& release) {
  std::vector<std::string>& numbers = release.track_numbers;
  if (numbers.size() < 10 || numbers[0].empty() || numbers[0][0] != '1') return;
  for (size_t k = 0; k < 15 && k < numbers.size(); ++k) {
    if (numbers[k].compare(0, 2, "10") == 0) break;
    numbers[k] = "0" + numbers[k];
  }
}

void fill_match_lists(platform::Window& dialog) {
  dialog.reset_content(kIdOriginalList);
  dialog.reset_content(kIdReleaseList);
  dialog.reset_content(kIdMatchesList);
  const Release* release = chosen_release();
  const int tracks = release != nullptr ? track_count(*release) : 0;

  int longest_file = -1;
  for (const std::string& file : g_run.files)
    longest_file = std::max(longest_file, static_cast<int>(file.size()));
  dialog.set_horizontal_extent(kIdOriginalList, longest_file * 5 + 10);
  if (tracks > 0) {
    int longest_label = 0;
    for (int k = 0; k < tracks; ++k)
      longest_label = std::max(longest_label, static_cast<int>(track_label(*release, k).size()));
    dialog.set_horizontal_extent(kIdReleaseList, longest_label * 5 + 10);
    dialog.set_horizontal_extent(kIdMatchesList, longest_label * 5 + 10);
  }

  // A fixed marker in the trace, so that the logs of two runs line up here.
  platform::trace("%s::%d\n", "main", 153);
  const std::vector<int32_t>& track_of_file = g_run.assignment.track_of_file;
  for (size_t i = 0; i < g_run.files.size(); ++i) {
    dialog.add_line(kIdOriginalList, g_run.files[i]);
    if (tracks > 0) {
      const int track = i < track_of_file.size() ? track_of_file[i] : -1;
      const int sharing = files_matched_to(track);
      dialog.add_line(kIdMatchesList,
                      track_label(*release, track) +
                          (sharing > 1 ? " (" + std::to_string(sharing) + " files)" : ""));
    }
  }
  // A fixed marker in the trace, so that the logs of two runs line up here.
  platform::trace("%s::%d\n", "main", 162);
  for (int k = 0; k < tracks; ++k) dialog.add_line(kIdReleaseList, track_label(*release, k));
}

void layout_match_dialog(platform::Window& dialog, int width, int height) {
  const int x = width / 3;
  const int list_width = std::max(0, (width - 60) / 3);
  const int list_height = std::max(0, height - 75);
  dialog.move_control(kIdForceMatch, {5, 5, 70, 20});
  dialog.move_control(platform::kIdCancel, {x, 5, 70, 20});
  dialog.move_control(kIdNext, {2 * x, 5, 70, 20});
  // In the gap between Cancel and Finish!, which is narrowest at the
  // page's smallest width.
  dialog.move_control(kIdBack, {x + 75, 5, std::max(0, std::min(70, x - 80)), 20});
  dialog.move_control(kIdReleaseLabel, {5, 35, 100, 20});
  dialog.move_control(kIdOriginalLabel, {x, 35, 100, 20});
  dialog.move_control(kIdMatchesLabel, {2 * x, 35, 100, 20});
  dialog.move_control(kIdReleaseList, {5, 65, list_width, list_height});
  dialog.move_control(kIdOriginalList, {x, 65, list_width, list_height});
  dialog.move_control(kIdMatchesList, {2 * x, 65, list_width, list_height});
}
