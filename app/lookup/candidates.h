#pragma once
// The search-term candidates of a run: from the folder's name and the tags.
#include <string>
#include <vector>

#include "model/local_track.h"

// Lower case, no tabs or line breaks, '_' as blank.
void clean_folder_name(std::string& name);

// The candidates the cleaned folder name gives, in order.
std::vector<std::string> folder_candidates(const std::string& clean_name);

// Adds the artist, title and album of each track to g_terms.
void add_tag_candidates(const std::vector<LocalTrack>& tracks);
