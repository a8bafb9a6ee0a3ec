#pragma once
#include <cstdint>
#include <string>

// Likeness of a local text to a database text: each word of text (split at
// blank, TAB and LF, lower-cased) adds its length for every occurrence in
// haystack, overlapping ones included. The haystack is taken as it is.
int32_t word_overlap_score(const std::string& haystack, const std::string& text);
// Normalises a local text before it is scored (see the .cpp for the steps).
void clean_match_text(std::string& text);
