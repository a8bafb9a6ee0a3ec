#pragma once
// The database through its REST API, with the API's manners kept here: a
// pause when the rate window runs low, 429s waited out (Retry-After, else a
// back-off from one second, doubling) up to a minute in all, and at most ten
// pages of an artist's or a label's releases.
#include <string>

#include "model/api_config.h"
#include "web/api/api_client.h"
#include "web/database_source.h"

// Where the API source's requests go; tests answer them from a script.
class ApiTransport {
 public:
  virtual ~ApiTransport() = default;
  // GET the API path (it starts with '/' and carries its query).
  virtual ApiResponse get(const std::string& path) = 0;
};

// The program's transport: the network, with the configured token.
class HttpApiTransport : public ApiTransport {
 public:
  explicit HttpApiTransport(ApiConfig config) : config_(std::move(config)) {}
  ApiResponse get(const std::string& path) override { return api_get(config_, path); }

 private:
  ApiConfig config_;
};

// How the source waits before asking again. The program shows the reason
// while it sleeps; tests only record it.
class ApiWait {
 public:
  virtual ~ApiWait() = default;
  virtual void wait(int seconds, const std::string& reason) = 0;
  // True when the user stopped the last wait: the lookup is then given up.
  virtual bool stopped() const { return false; }
};

class ApiDatabase : public DatabaseSource {
 public:
  // 429 waits beyond this many seconds in all for one request give up.
  static constexpr int kMostSecondsWaited = 60;
  // Fewer requests than this left in the rate window: a second's pause first.
  static constexpr int kPaceBelow = 3;
  // 10 pages of 100: an artist's or a label's list holds at most 1000 releases.
  static constexpr int kMostDiscographyPages = 10;
  static constexpr int kPerPage = 100;

  ApiDatabase(ApiTransport& transport, ApiWait& wait) : transport_(transport), wait_(wait) {}

  bool is_address(const std::string& term) const override;
  Lookup<Found> resolve_address(const std::string& term) override;
  Lookup<Found> search(const std::string& term) override;
  Lookup<Discography> list_releases(const SearchHit& hit) override;
  Lookup<Release> read_release(const std::string& link) override;
  Lookup<std::vector<ReleaseHit>> find_releases(const ReleaseQuery& query) override;

 private:
  // The body of a successful answer to the path, or why there is none.
  // `what` names the resource for the user ("release 249504").
  Lookup<std::string> fetch(const std::string& path, const std::string& what);
  // A pause when the rate window runs low; false when the user stopped it.
  bool pace();
  Lookup<Release> read_release_id(const std::string& id);
  Lookup<Discography> list_releases_of(bool is_label, const std::string& id);

  ApiTransport& transport_;
  ApiWait& wait_;
  int requests_left_ = -1;  // the API's last rate-window count; -1 unknown
};
