#pragma once
// The readers of the site's artist and label pages: the releases listed on
// them, as two parallel lists (each release's link, and its row: title,
// format, label or artist). They work on the page text alone, by the
// markers the site puts around each row, and never fetch anything.
//
// Pages are hostile and often cut short: a row whose markers are missing
// adds nothing or keeps empty fields rather than borrowing from the next
// row, so the two lists stay parallel. Texts come out in the code page.
#include <string>
#include <vector>

#include "model/release.h"

// The artist's own releases: the rows under "Releases:", up to the heading
// of releases that are not the artist's own. False when the page has no
// such section; the lists are then left as they were.
bool parse_artist_page(const std::string& page, std::vector<std::string>& links,
                       std::vector<ReleaseEntry>& entries);
// The label's releases: the rows under "Discography:", each with the
// artist named before its link. False when the page has no such section.
bool parse_label_page(const std::string& page, std::vector<std::string>& links,
                      std::vector<ReleaseEntry>& entries);
