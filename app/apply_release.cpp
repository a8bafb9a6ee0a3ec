#include "app/apply_release.h"

#include <algorithm>

#include "app/cover_download.h"
#include "app/error_box.h"
#include "app/left_alone.h"
#include "common/text.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "output/cover.h"
#include "output/tag_writer.h"
#include "output/templates.h"
#include "platform/album_entries.h"
#include "platform/folders.h"
#include "platform/front_end.h"
#include "platform/moves.h"
#include "platform/trace.h"

namespace {

int assigned_track(size_t file) {
  const std::vector<int32_t>& tracks = g_run.assignment.track_of_file;
  return file < tracks.size() ? tracks[file] : -1;
}

// The name file i is given: the track template, made safe, with ".mp3".
std::string new_track_name(size_t file) {
  std::string name = track_file_name(g_run.release_index, assigned_track(file));
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

// Every file gets its tags and new name, except a link or odd file under a
// listed name, and a file whose new name is refused. Returns the names the
// files have afterwards.
std::vector<std::string> tag_and_rename_files(const Release& release, LeftAlone& left_alone) {
  std::vector<std::string> names = g_run.files;
  for (size_t i = 0; i < g_run.files.size(); ++i) {
    if (left_alone.odd_entry(g_run.files[i])) continue;
    const std::string failure = write_tags(g_run.files[i], release, assigned_track(i));
    // The file keeps its old tags but is still renamed, as the user chose.
    if (!failure.empty()) {
      error_box("Could not write the tags of '" + g_run.files[i] + "': " + failure);
    }
    const std::string new_name = new_track_name(i);
    if (!left_alone.refuses_name(new_name) && move_or_report(g_run.files[i], new_name)) {
      names[i] = new_name;
    }
  }
  return names;
}

void rename_folder(LeftAlone& left_alone) {
  const std::string parent = parent_folder(g_run.directory);
  if (!platform::set_current_folder(parent)) {
    error_box("Could not open the folder " + parent);
    return;
  }
  std::string new_name = output_folder_name(g_run.release_index);
  safe_file_name(new_name);
  std::string old_name = g_run.directory;
  remove_char(old_name, '"');
  platform::trace("renaming '%s' to '%s'\n", old_name.c_str(), new_name.c_str());
  if (!left_alone.refuses_name(new_name)) move_or_report(old_name, new_name);
}

void fetch_cover(const Release& release, LeftAlone& left_alone) {
  if (release.picture_url.size() > 3) {
    const std::string name = cover_file_name(release);
    if (left_alone.refuses_name(name) || left_alone.odd_entry(name)) return;
  }
  download_cover(release);
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

void write_playlist(const std::string& name, std::vector<std::string> tracks) {
  std::sort(tracks.begin(), tracks.end(), bytes_before);
  // The names as the program holds them, in the code page, with CR LF ends.
  std::string content = "#EXTM3U\r\n";
  for (const std::string& track : tracks) content += track + "\r\n";
  if (const int error = platform::write_entry(name, content)) {
    error_box("Could not write the playlist '" + name + "': " + platform::error_text(error));
  }
}

void apply_release(platform::Window* dialog) {
  // Nothing may be written or renamed in whatever folder happens to be current.
  if (!platform::set_current_folder(g_run.directory)) {
    error_box("Could not open the folder " + g_run.directory);
    return;
  }
  const Release* chosen = chosen_release();
  if (chosen == nullptr) return;
  const platform::FolderLock lock;
  if (!lock.free()) {
    error_box("Another run of the program is working on the folder " + g_run.directory +
              ", so nothing was changed.");
    return;
  }
  const Release release = *chosen;
  LeftAlone left_alone;
  fetch_cover(release, left_alone);
  const std::vector<std::string> names = tag_and_rename_files(release, left_alone);
  std::string playlist = playlist_name(g_run.release_index);
  safe_file_name(playlist);
  playlist += ".m3u";
  if (g_m3u && !left_alone.refuses_name(playlist) && !left_alone.odd_entry(playlist)) {
    write_playlist(playlist, names);
  }
  rename_folder(left_alone);
  left_alone.tell_user();
  platform::message_box(dialog, "Done!", "Done.", platform::kBoxOk);
}
