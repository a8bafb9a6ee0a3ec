#pragma once
#include <string>
#include <vector>

#include "model/release.h"

void GetDiscogsCollection(const std::string& url, bool label);
bool parse_artist_page(const std::string& page, std::vector<std::string>& links,
                       std::vector<ReleaseEntry>& entries);
bool parse_label_page(const std::string& page, std::vector<std::string>& links,
                      std::vector<ReleaseEntry>& entries);
