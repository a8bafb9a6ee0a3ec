#pragma once
// The tags a local file already carries.
#include <string>

#include "model/local_track.h"

// Fills the artist, title, album, track number and year from the file's
// ID3v2 tag, each missing one from its ID3v1 tag. A file that cannot be
// opened or parsed, or a folder, leaves the record as it was.
void read_local_tags(const std::string& file_name, LocalTrack& track);
