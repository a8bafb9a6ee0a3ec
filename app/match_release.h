#pragma once
#include "model/release.h"

// Matches the local files to the release (find_matches), after asking
// whether to drop a "(2)" after its artist's name where it has one.
void match_release(Release& release);
