#include "app/driver.h"

#include <ctime>

#include "app/error_box.h"
#include "app/local_scan.h"
#include "app/lookup/api_source.h"
#include "app/lookup/candidates.h"
#include "app/lookup/database.h"
#include "app/settings/registry_string.h"
#include "app/settings/settings_file.h"
#include "app/wizard.h"
#include "common/text.h"
#include "model/run_state.h"
#include "output/journal/batch_record.h"
#include "output/journal/journal.h"
#include "platform/files/album_entries.h"
#include "platform/files/folders.h"
#include "platform/files/staged_rewrites.h"
#include "platform/paths.h"
#include "platform/trace.h"

void load_user_settings() {
  char path[kRegistryBufferSize];
  if (read_registry_string(kLocalMachine, kSettingsKey, kSettingsValue, path) == 0) {
    error_box("Could not read settings from registry - using defaults");
  } else if (!load_settings(path)) {
    error_box("Could not read settings file - using defaults");
  }
}

namespace {

// Listing whatever folder happens to be current instead would later rename
// the wrong folder, so a folder that cannot be entered ends the run. 0 when
// it was entered, else the exit status.
int enter_folder() {
  if (g_run.folder_path.empty()) {
    error_box("No folder was given. Start the program with the folder of MP3 files to process.");
    return kExitUsage;
  }
  if (!platform::enter_folder(g_run.folder_path, g_run.folder)) {
    error_box("Could not open the folder " + g_run.folder_path);
    return platform::folder_exists(g_run.folder_path) ? kExitCouldNotGoOn : kExitUsage;
  }
  return 0;
}

int run_status() {
  if (g_run.finished) return kExitDone;
  return g_run.could_not_go_on ? kExitCouldNotGoOn : kExitCancelled;
}

// What a run that was killed during Finish! left beside the files. While
// another run holds the folder its new files are no leftovers: removed,
// they would make all of its tag writes fail.
void remove_leftovers() {
  const platform::FolderLock lock;
  if (lock.free()) platform::remove_staged_leftovers();
}

}  // namespace

int run_plinth(const RunArguments& arguments) {
  platform::trace("command line: %s\n", arguments.command_line.c_str());
  g_run.folder_path = arguments.folder;
  g_run.program = arguments.program;
  set_default_settings();
  load_user_settings();
  std::string refusal;
  const ApiConfig api = api_config_from_environment(refusal);
  if (!refusal.empty()) {
    // Going on with the site's pages instead would hide that the token the
    // user set is not used.
    error_box(refusal);
    return kExitCouldNotGoOn;
  }
  choose_database(api);
  prune_journals(static_cast<int64_t>(std::time(nullptr)), journals_of_last_batch());
  if (const int status = enter_folder()) return status;
  remove_leftovers();

  if (!find_mp3_files(g_run)) {
    error_box("Failed to find mp3 files!");
    return kExitCouldNotGoOn;
  }
  scan_local_tracks(g_run);

  g_run.folder_name = platform::base_of(g_run.folder_path);
  g_clean_name = g_run.folder_name;
  clean_folder_name(g_clean_name);
  platform::trace("clean name: %s\n", g_clean_name.c_str());
  g_terms.add_terms(folder_candidates(g_clean_name));

  // A fixed marker in the trace, so that the logs of two runs line up here.
  platform::trace("[%d]:add id3 tag info\n", 1017);
  add_tag_candidates(g_run.local_tracks);

  run_wizard();
  return run_status();
}
