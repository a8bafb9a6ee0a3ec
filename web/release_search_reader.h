#pragma once
// Reads the releases a `type=release` search of the database's API found:
// each result's id, its "Artist - Title" split in two, year and catalogue
// number, in the program's code page. No network, no boxes.
#include <string>
#include <vector>

#include "common/album_certainty.h"

// Appends the release results of one search document. False when the
// document cannot be read.
bool read_api_release_results(const std::string& json, std::vector<FoundRelease>& found);
