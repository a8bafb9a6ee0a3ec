#pragma once
#include <string>
#include <vector>

namespace platform {
class Window;
}

// "Finish!": cover, tags, file renames, playlist, folder rename, "Done!".
void apply_release(platform::Window* dialog);
// Renames, or tells the user why it could not; true when the file has the new name.
bool move_or_report(const std::string& old_name, const std::string& new_name);
// Writes the playlist of the tracks' names; tells the user when it cannot.
void write_playlist(const std::string& name, std::vector<std::string> tracks);
