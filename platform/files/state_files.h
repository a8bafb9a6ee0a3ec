#pragma once
// The program's own files that outlive a run (the journal), under
// $XDG_STATE_HOME/plinth (default ~/.local/state/plinth). Names here are
// the file system's bytes; each call returns 0 or an errno value.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The folder, made with its parents (mode 0700) when it is missing.
int state_folder(const std::string& below, std::string& path);

// The names of the regular files in a folder, unsorted.
std::vector<std::string> regular_files_in(const std::string& folder);

int remove_file(const std::string& path);

// Appends to an existing file and flushes it.
int append_durably(const std::string& path, const std::string& data);

// A time in seconds since 1970 as strftime's format writes it, in UTC or in
// the local time zone.
std::string time_text(int64_t seconds, const char* format, bool local);

}  // namespace platform
