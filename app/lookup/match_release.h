#pragma once
#include "model/release.h"

// Makes the release the chosen one and matches the local files to it, after
// asking whether to drop a "(2)" after its artists' names where one has it.
void match_release(Release& release);
