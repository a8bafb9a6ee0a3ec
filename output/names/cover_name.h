#pragma once
#include <string>

#include "model/release.h"

// The name of the release's picture file in the current folder.
std::string cover_file_name(const Release& release);
