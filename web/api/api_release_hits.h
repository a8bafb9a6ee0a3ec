#pragma once
// The releases of a search document (type=release), for a search by artist
// and title.
#include <string>
#include <vector>

#include "web/database_source.h"

// Adds the document's release results to `hits`, in its order, each once;
// results of other kinds and ones without an id are left out. False when
// the document cannot be read.
bool read_api_release_hits(const std::string& json, std::vector<ReleaseHit>& hits);
