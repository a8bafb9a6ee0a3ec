#include "app/finish/apply_release.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "app/error_box.h"
#include "app/finish/cover_download.h"
#include "app/finish/left_alone.h"
#include "app/front_end_pick.h"
#include "common/text.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "output/journal/journal.h"
#include "output/journal/journal_format.h"
#include "output/journal/undo.h"
#include "output/names/cover_name.h"
#include "output/names/name_templates.h"
#include "output/tags/tag_writer.h"
#include "platform/codepage.h"
#include "platform/dialogs/front_end.h"
#include "platform/dialogs/wait_notice.h"
#include "platform/files/album_entries.h"
#include "platform/files/folders.h"
#include "platform/files/moves.h"
#include "platform/files/staged_rewrites.h"
#include "platform/paths.h"
#include "platform/trace.h"

namespace {

int assigned_track(size_t file) {
  const std::vector<int32_t>& tracks = g_run.assignment.track_of_file;
  return file < tracks.size() ? tracks[file] : -1;
}

// The name file i is given.
std::string new_track_name(size_t file) {
  return track_file_name(chosen_release(), assigned_track(file), g_tf);
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
    // So does a file whose name the run could not give back.
    const std::string new_name = new_track_name(i);
    const bool restorable = platform::entry_component_refusal(g_run.files[i]).empty();
    plan.new_names.push_back(plan.touched[i] && restorable && new_name != ".mp3" &&
                                     !left_alone.refuses_name(new_name)
                                 ? new_name
                                 : g_run.files[i]);
  }
  return plan;
}

// The release's picture for the tags, and the new file it goes into.
struct Cover {
  std::string name;
  std::string picture;    // empty when there is none
  bool to_write = false;  // a new file, recorded in the journal when there is one
};

// Writes the fetched picture into its new file; says so when it cannot.
bool write_cover(const Cover& cover, FinishJournal& journal) {
  if (const int error = platform::create_entry(cover.name, cover.picture)) {
    error_box("Could not write the cover '" + cover.name + "': " + platform::error_text(error));
    return false;
  }
  journal.created(cover.name);
  return true;
}

// Every new file is written beside its original first, all of them are made
// durable with one flush, and only then do they take the originals' places:
// one flush for the album instead of one per file. The journal is written
// last before anything changes, the cover first after it. Returns the
// names the files have afterwards; false when the journal could not be
// written, and then nothing has changed. `all_well` goes false when a
// failure was said that the file boxes do not cover; `changed` counts the
// files that got their new tags or name.
bool tag_files_together(const Release& release, const FinishPlan& plan, const Cover& cover,
                        FinishJournal& journal, platform::StagedRewrites& batch,
                        std::vector<std::string>& names, bool& all_well, size_t& changed) {
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
    writes[i] = write_tags(g_run.files[i], release, assigned_track(i), cover.picture, batch,
                           journal.audio_reader(entry[i]));
  }
  if (const int error = journal.write()) {
    error_box("Could not write the journal that lets this run be taken back: " +
              platform::error_text(error) + ". No file was changed.");
    return false;
  }
  if (cover.to_write && !write_cover(cover, journal)) all_well = false;
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
  if (const int error = batch.flush_folders(".")) {
    error_box("Could not save the new names in the folder to disk: " + platform::error_text(error));
    all_well = false;
  }
  return true;
}

// The folder's new name, or empty when it is refused.
std::string new_folder_name() {
  const std::string new_name = output_folder_name(chosen_release(), g_dirf);
  return platform::entry_name_refusal(new_name).empty() ? new_name : std::string();
}

// The folder's path once renamed: beside it, under the folder template's name.
std::string folder_after_finish() {
  const std::string new_name = new_folder_name();
  if (new_name.empty()) return g_run.folder_path;
  const std::string parent = parent_folder(g_run.folder_path);
  return (parent == "/" ? "" : parent) + "/" + new_name;
}

// True when the folder has its new name.
bool rename_folder(LeftAlone& left_alone) {
  const std::string parent = parent_folder(g_run.folder_path);
  if (!platform::set_current_folder(parent)) {
    error_box("Could not open the folder " + parent);
    return false;
  }
  const std::string new_name = output_folder_name(chosen_release(), g_dirf);
  std::string old_name = g_run.folder_path;
  remove_char(old_name, '"');
  platform::trace("renaming '%s' to '%s'\n", old_name.c_str(), new_name.c_str());
  return !left_alone.refuses_name(new_name) && move_or_report(old_name, new_name);
}

// The files Finish! is to change that can no longer be read: renamed,
// removed or made unreadable while a page waited. Quoted, one a line.
std::string files_gone_since_listed(const FinishPlan& plan) {
  std::string gone;
  for (size_t i = 0; i < g_run.files.size(); ++i) {
    if (plan.touched[i] && !platform::file_readable(g_run.files[i])) {
      gone += "\n'" + g_run.files[i] + "'";
    }
  }
  return gone;
}

// The picture for the tags: fetched when nothing is under the cover's name
// yet, else the picture already there, used as it is. A fetched one is
// recorded in the journal before anything is written.
Cover fetch_cover(const Release& release, LeftAlone& left_alone, FinishJournal& journal) {
  Cover cover;
  cover.name = cover_file_name(release);
  if (release.picture_url.size() <= 3) return cover;
  if (left_alone.refuses_name(cover.name) || left_alone.odd_entry(cover.name)) return cover;
  cover.picture = download_cover(release);
  if (cover.picture.empty()) {
    platform::read_entry(cover.name, cover.picture);
    return cover;
  }
  cover.to_write = journal.will_write(cover.name, content_hash(cover.picture));
  if (!cover.to_write) cover.picture.clear();
  return cover;
}

std::string playlist_text(std::vector<std::string> tracks) {
  std::sort(tracks.begin(), tracks.end(), bytes_before);
  // Each line is the file's name as the file system holds it, so that a
  // player finds the file whatever letters its name has; CR LF ends.
  std::string content = "#EXTM3U\r\n";
  for (const std::string& track : tracks) content += platform::fs_name(track) + "\r\n";
  return content;
}

// The playlist's name, or empty when the run writes none. What a file
// already under the name holds goes into the journal before it is written
// over, so that undo can give it back; a file that cannot be kept there is
// left as it is, and that is said.
std::string plan_playlist(const FinishPlan& plan, LeftAlone& left_alone, FinishJournal& journal) {
  const std::string name = playlist_name(chosen_release(), g_m3uf);
  if (!g_m3u || name == ".m3u" || left_alone.refuses_name(name) || left_alone.odd_entry(name)) {
    return std::string();
  }
  if (!journal.will_write(name, content_hash(playlist_text(plan.new_names)))) {
    error_box("The playlist '" + name +
              "' was not written: the file of that name could not be kept so that this run "
              "can be taken back.");
    return std::string();
  }
  return name;
}

void start_journal(FinishJournal& journal, const FinishPlan& plan) {
  std::vector<std::string> old_names, new_names;
  for (size_t i = 0; i < g_run.files.size(); ++i) {
    if (!plan.touched[i]) continue;
    old_names.push_back(g_run.files[i]);
    new_names.push_back(plan.new_names[i]);
  }
  journal.start(g_run.folder_path, folder_after_finish(), old_names, new_names);
}

std::vector<std::string> finish_lines(const std::string& folder) {
  return {"The folder is now " + folder, undo_hint(g_run.program, folder)};
}

// "Done!" (or that something failed), then where the folder is now and how to take the run back, so
// that someone who started the program from a file manager learns both.
// The terminal says the rest after the box (finish_lines), on lines it
// never wraps, so that the command can be copied whole.
std::string done_text(const std::string& folder, bool all_well) {
  std::string text = all_well ? "Done!"
                              : "Done, but not everything went well: see the messages before "
                                "this one.";
  if (pages_in_terminal()) return text;
  for (const std::string& line : finish_lines(folder)) text += "\n" + line;
  return text;
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

bool write_playlist(const std::string& name, const std::vector<std::string>& tracks) {
  if (const int error = platform::write_entry(name, playlist_text(tracks))) {
    error_box("Could not write the playlist '" + name + "': " + platform::error_text(error));
    return false;
  }
  return true;
}

std::string apply_release(platform::Window* dialog) {
  // Nothing may be written or renamed in whatever folder happens to be
  // current, nor in one that took the folder's place while a page waited.
  if (const int error = platform::reenter_folder(g_run.folder_path, g_run.folder)) {
    error_box(error == ESTALE ? "The folder " + g_run.folder_path +
                                    " is no longer the folder these pages were shown for: it was "
                                    "moved, replaced or made a link meanwhile. Nothing was changed."
                              : "Could not open the folder " + g_run.folder_path);
    g_run.could_not_go_on = true;
    return std::string();
  }
  // One box instead of one for every file that cannot be written.
  if (const int refusal = platform::current_folder_write_refusal()) {
    error_box("Nothing can be written in the folder " + g_run.folder_path + ": " +
              platform::error_text(refusal) + ". Nothing was changed.");
    g_run.could_not_go_on = true;
    return std::string();
  }
  const Release* chosen = chosen_release();
  if (chosen == nullptr) return std::string();
  const platform::FolderLock lock;
  if (!lock.free()) {
    error_box("Another run of the program is working on the folder " + g_run.folder_path +
              ", so nothing was changed.");
    g_run.could_not_go_on = true;
    return std::string();
  }
  const Release release = *chosen;
  LeftAlone left_alone;
  const FinishPlan plan = plan_files(left_alone);
  // Each file's old name and tags must go into the journal first.
  const std::string gone = files_gone_since_listed(plan);
  if (!gone.empty()) {
    error_box(
        "These files were renamed, removed or made unreadable while the pages were open, "
        "so nothing was changed:" +
        gone);
    return std::string();
  }
  FinishJournal journal;
  start_journal(journal, plan);
  platform::StagedRewrites batch;

  const Cover cover = fetch_cover(release, left_alone, journal);
  const std::string playlist = plan_playlist(plan, left_alone, journal);
  bool all_well = true;
  std::vector<std::string> names;
  size_t changed = 0;  // files that got their new tags or name
  if (!tag_files_together(release, plan, cover, journal, batch, names, all_well, changed)) {
    g_run.could_not_go_on = true;
    return std::string();
  }
  if (!playlist.empty() && write_playlist(playlist, names)) journal.created(playlist);
  // A folder named after a release that none of its files took would lie.
  const bool folder_moved = changed > 0 && rename_folder(left_alone);
  journal.folder_result(folder_moved);
  if (const int error = folder_moved ? platform::flush_folder(".") : 0) {
    error_box("Could not save the folder's new name to disk: " + platform::error_text(error));
    all_well = false;
  }
  if (const int error = journal.finish()) {
    error_box("Could not write how this run ended into its journal: " +
              platform::error_text(error) + ". It can still be taken back.");
    all_well = false;
  }
  batch.let_replaced_go();  // only now: freeing them slows every flush
  left_alone.tell_user();
  g_run.finished = true;
  const std::string folder = folder_moved ? folder_after_finish() : g_run.folder_path;
  platform::message_box(dialog, done_text(folder, all_well), "Done.", platform::kBoxOk);
  if (pages_in_terminal()) {
    for (const std::string& line : finish_lines(folder))
      std::fprintf(stderr, "%s\n", platform::to_utf8(line).c_str());
  }
  return folder;
}
