#pragma once
#include <string>
#include <vector>

#include "model/release.h"

bool parse_artist_page(const std::string& page, std::vector<std::string>& links,
                       std::vector<ReleaseEntry>& entries);
bool parse_label_page(const std::string& page, std::vector<std::string>& links,
                      std::vector<ReleaseEntry>& entries);
