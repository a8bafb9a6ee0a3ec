#include "app/apply_release.h"

#include <algorithm>

#include "app/cover_download.h"
#include "app/error_box.h"
#include "app/left_alone.h"
#include "common/text.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "output/cover.h"
#include "output/journal.h"
#include "output/tag_writer.h"
#include "output/templates.h"
#include "platform/album_entries.h"
#include "platform/folders.h"
#include "platform/front_end.h"
#include "platform/moves.h"
#include "platform/staged_rewrites.h"
#include "platform/trace.h"
#include "platform/wait_notice.h"

namespace {

int assigned_track(size_t file) {
  const std::vector<int32_t>& tracks = g_run.assignment.track_of_file;
  return file < tracks.size() ? tracks[file] : -1;
}

// The name file i is given: the track template, made safe, with ".mp3".
std::string new_track_name(size_t file) {
  std::string name = track_file_name(chosen_release(), assigned_track(file), g_tf);
  safe_file_name(name);
  return name + ".mp3";
}

bool bytes_before(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  });
}

// The folder that holds the processed folder, taken from its path: a folder
// reached through a symbolic link is renamed where the user sees it.
std::string parent_folder(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path.find('/') == std::string::npos ? ".." : platform::folder_of(path);
}

void report_tag_failure(const std::string& file, const std::string& failure) {
  // The file keeps its old tags but is still renamed, as the user chose.
  error_box("Could not write the tags of '" + file + "': " + failure);
}

// The album's files as Finish! treats them: a link or odd file under a
// listed name is left alone, and so is a new name that is refused.
struct FinishPlan {
  std::vector<bool> touched;           // element i belongs to g_run.files[i]
  std::vector<std::string> new_names;  // the old name where it is refused
};

FinishPlan plan_files(LeftAlone& left_alone) {
  FinishPlan plan;
  for (size_t i = 0; i < g_run.files.size(); ++i) {
    plan.touched.push_back(!left_alone.odd_entry(g_run.files[i]));
    // A name that is only the extension (a field the template needs is
    // empty) would hide the file and collide with the next: it keeps its name.
    const std::string new_name = new_track_name(i);
    plan.new_names.push_back(plan.touched[i] && new_name != ".mp3" &&
                                     !left_alone.refuses_name(new_name)
                                 ? new_name
                                 : g_run.files[i]);
  }
  return plan;
}

// Every new file is written beside its original first, all of them are made
// durable with one flush, and only then do they take the originals' places:
// one flush for the album instead of one per file. The journal is written
// last before anything changes. Returns the names the files have
// afterwards; false when the journal could not be written, and then no file
// has changed.
bool tag_files_together(const Release& release, const FinishPlan& plan, FinishJournal& journal,
                        std::vector<std::string>& names, size_t& changed) {
  platform::StagedRewrites batch;
  std::vector<TagWrite> writes(g_run.files.size());
  size_t journaled = 0;  // the journal holds the touched files, in order
  std::vector<size_t> entry(g_run.files.size());
  platform::WaitNotice notice("Finish!");
  const std::string of_all = " of " + std::to_string(g_run.files.size());
  std::vector<bool> tagged(g_run.files.size(), false);
  for (size_t i = 0; i < g_run.files.size(); ++i) {
    notice.update("Finish!: writing the tags of file " + std::to_string(i + 1) + of_all);
    if (!plan.touched[i]) continue;
    entry[i] = journaled++;
    writes[i] = write_tags(g_run.files[i], release, assigned_track(i), batch,
                           journal.audio_reader(entry[i]));
  }
  if (const int error = journal.write()) {
    error_box("Could not write the journal that lets this run be taken back: " +
              platform::error_text(error) + ". No file was changed.");
    return false;
  }
  notice.update("Finish!: saving the files to disk");
  const int flush_error = batch.flush();
  for (size_t i = 0; i < writes.size(); ++i) {
    if (!plan.touched[i]) continue;
    int error = writes[i].failure.empty() ? flush_error : 0;
    if (error == 0 && writes[i].staged) error = batch.commit(writes[i].index);
    if (!writes[i].failure.empty()) report_tag_failure(g_run.files[i], writes[i].failure);
    if (error != 0) report_tag_failure(g_run.files[i], platform::error_text(error));
    tagged[i] = writes[i].failure.empty() && error == 0;
  }
  names = g_run.files;
  for (size_t i = 0; i < g_run.files.size(); ++i) {
    notice.update("Finish!: naming file " + std::to_string(i + 1) + of_all);
    if (!plan.touched[i]) continue;
    const bool moved =
        plan.new_names[i] != g_run.files[i] && move_or_report(g_run.files[i], plan.new_names[i]);
    if (moved) names[i] = plan.new_names[i];
    journal.file_result(entry[i], moved);
    if (moved || tagged[i]) ++changed;
  }
  batch.flush_folders(".");
  return true;
}

// The folder's new name, or empty when it is refused.
std::string new_folder_name() {
  std::string new_name = output_folder_name(chosen_release(), g_dirf);
  safe_file_name(new_name);
  return platform::entry_name_refusal(new_name).empty() ? new_name : std::string();
}

// The folder's path once renamed: beside it, under the folder template's name.
std::string folder_after_finish() {
  const std::string new_name = new_folder_name();
  if (new_name.empty()) return g_run.directory;
  const std::string parent = parent_folder(g_run.directory);
  return (parent == "/" ? "" : parent) + "/" + new_name;
}

// True when the folder has its new name.
bool rename_folder(LeftAlone& left_alone) {
  const std::string parent = parent_folder(g_run.directory);
  if (!platform::set_current_folder(parent)) {
    error_box("Could not open the folder " + parent);
    return false;
  }
  std::string new_name = output_folder_name(chosen_release(), g_dirf);
  safe_file_name(new_name);
  std::string old_name = g_run.directory;
  remove_char(old_name, '"');
  platform::trace("renaming '%s' to '%s'\n", old_name.c_str(), new_name.c_str());
  return !left_alone.refuses_name(new_name) && move_or_report(old_name, new_name);
}

// True when the cover was fetched into a file that was not there before.
bool fetch_cover(const Release& release, LeftAlone& left_alone) {
  const std::string name = cover_file_name(release);
  if (release.picture_url.size() > 3) {
    if (left_alone.refuses_name(name) || left_alone.odd_entry(name)) return false;
  }
  const bool was_there = platform::entry_kind(name) != platform::EntryKind::kMissing;
  download_cover(release);
  return !was_there && platform::entry_kind(name) == platform::EntryKind::kRegular;
}

void start_journal(FinishJournal& journal, const FinishPlan& plan) {
  std::vector<std::string> old_names, new_names;
  for (size_t i = 0; i < g_run.files.size(); ++i) {
    if (!plan.touched[i]) continue;
    old_names.push_back(g_run.files[i]);
    new_names.push_back(plan.new_names[i]);
  }
  journal.start(g_run.directory, folder_after_finish(), old_names, new_names);
}

}  // namespace

bool move_or_report(const std::string& old_name, const std::string& new_name) {
  if (old_name == new_name) return true;
  const int error = platform::rename_entry(old_name, new_name);
  if (error == 0) return true;
  error_box("An error:'" + platform::error_text(error) + "' occured when trying to move '" +
            old_name + "' to '" + new_name + "'");
  return false;
}

bool write_playlist(const std::string& name, std::vector<std::string> tracks) {
  std::sort(tracks.begin(), tracks.end(), bytes_before);
  // The names as the program holds them, in the code page, with CR LF ends.
  std::string content = "#EXTM3U\r\n";
  for (const std::string& track : tracks) content += track + "\r\n";
  if (const int error = platform::write_entry(name, content)) {
    error_box("Could not write the playlist '" + name + "': " + platform::error_text(error));
    return false;
  }
  return true;
}

std::string apply_release(platform::Window* dialog) {
  // Nothing may be written or renamed in whatever folder happens to be current.
  if (!platform::set_current_folder(g_run.directory)) {
    error_box("Could not open the folder " + g_run.directory);
    g_run.could_not_go_on = true;
    return std::string();
  }
  // One box instead of one for every file that cannot be written.
  if (const int refusal = platform::current_folder_write_refusal()) {
    error_box("Nothing can be written in the folder " + g_run.directory + ": " +
              platform::error_text(refusal) + ". Nothing was changed.");
    g_run.could_not_go_on = true;
    return std::string();
  }
  const Release* chosen = chosen_release();
  if (chosen == nullptr) return std::string();
  const platform::FolderLock lock;
  if (!lock.free()) {
    error_box("Another run of the program is working on the folder " + g_run.directory +
              ", so nothing was changed.");
    g_run.could_not_go_on = true;
    return std::string();
  }
  const Release release = *chosen;
  LeftAlone left_alone;
  const FinishPlan plan = plan_files(left_alone);
  FinishJournal journal;
  start_journal(journal, plan);

  if (fetch_cover(release, left_alone)) journal.created(cover_file_name(release));
  std::vector<std::string> names;
  size_t changed = 0;  // files that got their new tags or name
  if (!tag_files_together(release, plan, journal, names, changed)) {
    g_run.could_not_go_on = true;
    return std::string();
  }
  std::string playlist = playlist_name(chosen_release(), g_m3uf);
  safe_file_name(playlist);
  playlist += ".m3u";
  if (g_m3u && playlist != ".m3u" && !left_alone.refuses_name(playlist) &&
      !left_alone.odd_entry(playlist)) {
    const bool was_there = platform::entry_kind(playlist) != platform::EntryKind::kMissing;
    if (write_playlist(playlist, names) && !was_there) journal.created(playlist);
  }
  // A folder named after a release that none of its files took would lie.
  const bool folder_moved = changed > 0 && rename_folder(left_alone);
  journal.folder_result(folder_moved);
  journal.finish();
  left_alone.tell_user();
  g_run.finished = true;
  platform::message_box(dialog, "Done!", "Done.", platform::kBoxOk);
  return folder_moved ? folder_after_finish() : g_run.directory;
}
