#pragma once
#include <cstdint>
#include <string>

// The folder name and every local tag, as one text, case kept.
std::string build_release_keywords();
// Index into g_collection of the release whose title best fits the keywords
// (letter case aside), or -1 when the list is empty.
int32_t rank_releases(const std::string& keywords);
