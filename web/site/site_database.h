#pragma once
// The database through its web pages, read as the site lays them out: the
// search page, artist and label pages, release pages. The pages answer only
// an address or a search term; a search for releases by artist and title is
// not offered.
#include <string>

#include "web/database_source.h"

class SiteDatabase : public DatabaseSource {
 public:
  // An address on the database's own host ("http://www.discogs.com/...").
  bool is_address(const std::string& term) const override;
  Lookup<Found> resolve_address(const std::string& term) override;
  Lookup<Found> search(const std::string& term) override;
  Lookup<Discography> list_releases(const SearchHit& hit) override;
  Lookup<Release> read_release(const std::string& link) override;
  Lookup<std::vector<ReleaseHit>> find_releases(const ReleaseQuery& query) override;
};
