#pragma once
#include <string>

#include "web/release.h"

// Writes the release's tags for one track into a file, crash-safe; the audio
// bytes and every frame not written are kept. Failures are silent.
void write_tags(const std::string& file_name, const Release& release, int track);
