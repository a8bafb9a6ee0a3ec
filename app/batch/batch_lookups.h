#pragma once
// The database as the library run asks it: the API source of the wizard,
// its requests paced to the rate limit the answers announce and counted,
// its waits slept through without a page to keep drawn. Release searches
// come back as the certainty rule reads them.
#include <string>
#include <vector>

#include "common/album_certainty.h"
#include "model/api_config.h"
#include "web/api/api_database.h"
#include "web/api/paced_transport.h"

class BatchLookups {
 public:
  BatchLookups(const ApiConfig& config, bool paced);

  // Releases a search by artist and release title finds.
  LookupError find_releases(const std::string& artist, const std::string& title,
                            std::vector<FoundRelease>& found);
  // The release of that id, read as the wizard reads it.
  LookupError read_release(const std::string& id, Release& release);

  // Requests sent to the API so far, those asked again after a 429 too.
  int requests() const { return paced_.requests(); }

 private:
  class SleepingWait : public ApiWait {
   public:
    void wait(int seconds, const std::string& reason) override;
  };

  HttpApiTransport http_;
  PacedTransport paced_;
  SleepingWait wait_;
  ApiDatabase database_;
};

// A search result as the certainty rule reads it: "Artist - Title" in two,
// the database's catalogue number "none" as none.
FoundRelease found_release(const ReleaseHit& hit);
