#pragma once
// Readers of the database API's JSON documents. They fill the same records
// as the site's page readers, with the texts in the program's code page; a
// document that is not JSON, or not of the expected shape, reads as nothing
// (false) or as the parts that are there. No network, no pages, no boxes.
#include <string>
#include <vector>

#include "model/release.h"

// One artist or label that a search found.
struct ApiSearchHit {
  bool is_label = false;
  std::string id;    // decimal digits
  std::string name;  // in display form, "(2)" and all
};

// Adds the artists and labels of a search document to `hits`, each once
// (by kind and id): artists before every label, so the list reads as the
// site's did. False when the document cannot be read.
bool read_api_search(const std::string& json, std::vector<ApiSearchHit>& hits);

// One page of an artist's or a label's releases.
struct ApiDiscographyPage {
  std::vector<ReleaseEntry> entries;
  std::vector<std::string> release_ids;  // parallel to entries
  int page = 0;
  int pages = 0;
};

// Reads one discography page. On an artist's list only the entries whose
// role is "Main" are taken (the artist's own releases, as the site's artist
// page had them); a master stands for its main release and shows its year
// where a release shows its format. Entries without a usable id are left
// out, so the two lists stay parallel.
bool read_api_discography(const std::string& json, bool is_label, ApiDiscographyPage& page);

// Reads a release document into the record the release page reader fills.
// A catalogue number "none" (the database's word for a release without one)
// reads as no catalogue number.
bool read_api_release(const std::string& json, Release& release);

// The main release of a master document; "" when there is none.
std::string read_api_master(const std::string& json);

// The artist credit of a list of artist objects (already in the code page):
// each its name variation or else its name, a trailing '*' dropped, joined
// by their join texts.
struct ApiCredit {
  std::string name;
  std::string anv;
  std::string join;
};
std::string join_credits(const std::vector<ApiCredit>& credits);

// The database keeps many names in sort form: "Persuader, The", "Sentinel,
// The (2)". They are shown and written as people say them: "The Persuader",
// "The Sentinel (2)". Only a trailing ", The", ", A" or ", An" (before a
// numbered suffix) counts, so "Earth, Wind & Fire" stays as it is.
std::string display_form(const std::string& name);
