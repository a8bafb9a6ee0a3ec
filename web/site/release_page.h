#pragma once
// The reader of the site's release page: artist and title, picture,
// label, catalogue number, date, genre, style and the track list, read by
// the markers the site puts around each, from the page text alone.
//
// The page is hostile and often cut short: a missing marker leaves its
// field as it was, and the label, the detail rows and the track list are
// read in that order, each from behind the one before, so a missing one
// leaves those behind it unread. Names come out decoded, in the code page.
#include <string>

#include "model/release.h"

// Fills the release from the page; fields the page lacks are left as they
// were.
void read_release_page(const std::string& page, Release& release);
// The text of the detail row headed `label` ("Catalog#:"), searched from
// pos on; pos is left behind it for the next row, or at -1 when the row is
// missing, and the rows after a missing one are then not found.
void read_detail_row(const std::string& label, const std::string& page, int& pos,
                     std::string& field);
// Cuts a track name before the first bracket that holds a ':'.
void cut_credit_brackets(std::string& name);
