#include "app/batch/batch_lookups.h"

#include <chrono>
#include <thread>

// The source has written the reason to the log already.
void BatchLookups::SleepingWait::wait(int seconds, const std::string&) {
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
}

BatchLookups::BatchLookups(const ApiConfig& config, bool paced)
    : http_(config), paced_(http_, paced), database_(paced_, wait_) {}

FoundRelease found_release(const ReleaseHit& hit) {
  FoundRelease found;
  found.id = hit.id;
  const size_t dash = hit.title.find(" - ");
  found.artist = dash == std::string::npos ? "" : hit.title.substr(0, dash);
  found.title = dash == std::string::npos ? hit.title : hit.title.substr(dash + 3);
  found.year = hit.year;
  found.catalog_number = hit.catalog_number == "none" ? "" : hit.catalog_number;
  return found;
}

LookupError BatchLookups::find_releases(const std::string& artist, const std::string& title,
                                        std::vector<FoundRelease>& found) {
  ReleaseQuery query;
  query.artist = artist;
  query.title = title;
  const Lookup<std::vector<ReleaseHit>> hits = database_.find_releases(query);
  for (const ReleaseHit& hit : hits.value) found.push_back(found_release(hit));
  return hits.failure;
}

LookupError BatchLookups::read_release(const std::string& id, Release& release) {
  Lookup<Release> read = database_.read_release("/release/" + id);
  release = std::move(read.value);
  return read.failure;
}
