#pragma once
#include "model/release.h"

// Fetches the release's picture into the current folder, under
// cover_file_name, unless something is already there under that name.
void download_cover(const Release& release);
