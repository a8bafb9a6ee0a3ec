#pragma once
#include <string>
#include <vector>

namespace platform {
class Window;
}

// "Finish!": journal, cover, tags, file renames, playlist, folder rename,
// "Done!". Returns the folder's path as the run left it when the run can be
// taken back, else an empty text.
std::string apply_release(platform::Window* dialog);
// Renames, or tells the user why it could not; true when the file has the new name.
bool move_or_report(const std::string& old_name, const std::string& new_name);
// Writes the playlist of the tracks' names; tells the user when it cannot.
bool write_playlist(const std::string& name, const std::vector<std::string>& tracks);
