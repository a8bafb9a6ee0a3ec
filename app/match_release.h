#pragma once
#include "model/release.h"

// Makes the release the chosen one and matches the local files to it, after
// asking whether to drop a "(2)" after its artist's name where it has one.
void match_release(Release& release);
