#pragma once
// The database as the library run asks it, through its REST API: release
// searches and releases, paced to the rate limit the answers announce, a
// 429 waited out as the wizard waits it out. Each lookup gives a value or
// a failure that says what went wrong; no box, no run state.
#include <string>
#include <vector>

#include "common/album_certainty.h"
#include "model/api_config.h"
#include "model/release.h"
#include "web/request_pacer.h"

struct LookupFailure {
  enum Kind {
    kNone,
    kUnreachable,
    kTokenRefused,
    kTooManyRequests,
    kNotFound,
    kStatus,
    kUnreadable
  };
  Kind kind = kNone;
  std::string text;  // what went wrong, for the report
  explicit operator bool() const { return kind != kNone; }
};

class BatchLookups {
 public:
  // Unpaced lookups are for measuring the program's own work only.
  BatchLookups(const ApiConfig& config, bool paced);

  // Releases a `type=release` search finds, by artist and release title
  // where those are given, else by the words.
  LookupFailure find_releases(const std::string& artist, const std::string& title,
                              const std::string& words, std::vector<FoundRelease>& found);
  // The release of that id, read as the wizard reads it.
  LookupFailure read_release(const std::string& id, Release& release);

  // Requests sent to the API so far, retries included.
  int requests() const { return requests_; }

 private:
  LookupFailure fetch(const std::string& path, const std::string& what, std::string& body);
  void wait_for_pacer();

  ApiConfig config_;
  bool paced_;
  RequestPacer pacer_;
  int requests_ = 0;
};
