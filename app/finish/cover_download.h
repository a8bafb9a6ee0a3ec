#pragma once
#include <string>

#include "model/release.h"

// The release's picture, fetched whole, for the file cover_file_name names
// in the current folder; empty when there is none to fetch, it could not be
// fetched, or something is already there under that name (a picture from
// an earlier run stays and is used as it is).
std::string download_cover(const Release& release);
