#pragma once
#include <string>

#include "model/release.h"

// Writes the release's tags for one track into a file, crash-safe; the audio
// bytes and every frame not written are kept. Returns why the file was left
// as it was, or an empty text when the tags were written.
std::string write_tags(const std::string& file_name, const Release& release, int track);
