#pragma once
// The year of a release, from the date text the database or a tag gives.
#include <cstdint>
#include <string>

// The year a date text names, or -1: its first run of four digits when the
// longest run has four, a two-digit year (00 to 07 in this century, 08 on
// in the last) when the longest has two, else none.
int32_t year_from_date(const std::string& date);
