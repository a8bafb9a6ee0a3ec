#pragma once
// A database address typed as a search term: http:// or https://, with or
// without "www.", "discogs.com", then /release/ID, /master/ID, /artist/ID or
// /label/ID, the ID optionally followed by "-slug".
#include <string>

struct DatabaseAddress {
  std::string kind;  // "release", "master", "artist" or "label"
  std::string id;    // decimal digits
};

// False when the text is not such an address.
bool parse_database_address(const std::string& text, DatabaseAddress& address);
