#pragma once
#include <string>

namespace platform {
class Window;
}

// "Finish!": cover, tags, file renames, playlist, folder rename, "Done!".
void apply_release(platform::Window* dialog);
// Renames, or tells the user why it could not.
void move_or_report(const std::string& old_name, const std::string& new_name);
// Writes the playlist of the new track names; tells the user when it cannot.
void write_playlist(const std::string& name);
