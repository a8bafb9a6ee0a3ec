#pragma once
// The folder's MP3 files and the tags they already carry.
#include <string>

#include "model/local_track.h"
#include "model/run_state.h"

// Appends the current folder's "*.mp3" entries (folders too) to run.files;
// true when there was at least one.
bool find_mp3_files(RunState& run);

// One LocalTrack per name of run.files, in order, with the trace lines.
void scan_local_tracks(RunState& run);
