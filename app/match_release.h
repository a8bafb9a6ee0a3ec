#pragma once
#include "model/release.h"

// Matches the local files to the release (find_matches), after asking
// whether to drop a "(2)" after its artists' names where one has it.
void match_release(Release& release);
