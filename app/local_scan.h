#pragma once
// The folder's MP3 files and the tags they already carry.
#include <string>

#include "app/local_track.h"
#include "app/run_state.h"

// Appends the current folder's "*.mp3" entries (folders too) to run.files;
// true when there was at least one.
bool find_mp3_files(RunState& run);

// Fills the artist, title, album, track number and year from the file's
// ID3v2 tag, each missing one from its ID3v1 tag. A file that cannot be
// opened or parsed, or a folder, leaves the record as it was.
void read_local_tags(const std::string& file_name, LocalTrack& track);

// One LocalTrack per name of run.files, in order, with the trace lines.
void scan_local_tracks(RunState& run);
