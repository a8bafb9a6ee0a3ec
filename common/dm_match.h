#pragma once
// Deciding which local file is which track of the chosen release.
#include <cstdint>
#include <string>
#include <vector>

#include "common/track_assignment.h"
#include "web/release.h"

// Stores the release in g_releases, makes it the chosen one and assigns
// every local file a track. Asks first whether to drop an artist's "(2)".
void find_matches(Release& release);
void score_all_files();
void score_file_tracks(std::vector<int32_t>& row, int file, const Release& release);
int32_t best_index(const std::vector<int32_t>& list);
void assign_best_track(const std::vector<int32_t>& row, int file);
void resolve_track_conflicts();
bool has_numbered_suffix(const std::string& name);
void strip_numbered_suffix(std::string& name);
void strip_artist_suffixes(Release& release);
