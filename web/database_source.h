#pragma once
// The database as the program asks it: search a term, go to a typed
// address, list an artist's or a label's releases, read a release, find
// releases by artist and title. Two sources answer, the site's pages and the
// REST API; each verb gives its values or a typed failure. No source shows a
// box, asks a question or touches the run state: the caller decides what a
// failure means to the user.
#include <string>
#include <vector>

#include "model/release.h"
#include "web/http_client.h"

enum class LookupFailure {
  kNone,
  kNoConnection,  // no answer arrived
  kRefused,       // HTTP 403
  kBadToken,      // HTTP 401
  kNotFound,      // HTTP 404
  kRateLimited,   // still asked to slow down when the waits reached their limit
  kTooLarge,      // the answer was larger than the program takes
  kCutOff,        // the answer stopped short
  kTimedOut,      // the answer took longer than the program waits
  kUnreadable,    // an answer that is not what was asked for
  kBadStatus,     // any other status that is not a success
  kNotOffered,    // this source cannot answer this question
  kCancelled,     // the user stopped the wait for the answer
};

struct LookupError {
  LookupFailure kind = LookupFailure::kNone;
  std::string what;         // what was asked, as the user reads it: "release 249504"
  int status = 0;           // the HTTP status, where one arrived
  int seconds_waited = 0;   // kRateLimited: the waits that came before giving up
  bool from_pages = false;  // the site's pages answered, not the API
  std::string host;         // the host asked, where one was
  std::string reason;       // the system's words for a failure without an answer
  long seconds = 0;         // kTimedOut: the limit that ran out
  size_t bytes = 0;         // kTooLarge: the most the program takes
};

// The failure of a request that brought no usable answer, for `what`.
LookupError lookup_error_of(const HttpFailure& failure, const std::string& what);

template <typename T>
struct Lookup {
  T value{};
  LookupError failure;
  bool ok() const { return failure.kind == LookupFailure::kNone; }
};

// A failure of that kind for what was asked, with the HTTP status where
// one arrived.
inline LookupError lookup_error(LookupFailure kind, const std::string& what, int status = 0) {
  LookupError error;
  error.kind = kind;
  error.what = what;
  error.status = status;
  return error;
}

// A lookup that gives no value, only the failure.
template <typename T>
Lookup<T> failed(const LookupError& error) {
  Lookup<T> lookup;
  lookup.failure = error;
  return lookup;
}

// An artist or a label that a search found.
struct SearchHit {
  std::string link;  // "/artist/Some+Name" or "/label/Some+Name", as the result page shows it
  std::string id;    // the API's id; "" from the pages, which go by the link
  bool is_label = false;
};

// An artist's or a label's releases, as the release page lists them.
struct Discography {
  std::vector<ReleaseEntry> entries;
  std::vector<std::string> links;  // parallel to entries: "/release/ID", for read_release
};

// Where a term or an address led: artists and labels to choose from, or
// straight to one artist's or label's releases, or to one release.
struct Found {
  enum Kind { kHits, kArtist, kLabel, kRelease };
  Kind kind = kHits;
  std::vector<SearchHit> hits;  // kHits
  Discography discography;      // kArtist, kLabel
  Release release;              // kRelease
};

// What a search for releases asks: an artist, a title, or free text; an
// empty field is left out.
struct ReleaseQuery {
  std::string artist;
  std::string title;
  std::string text;
};

// A release that a search for releases found, in the program's code page.
struct ReleaseHit {
  std::string id;
  std::string title;  // "Artist - Title" as the database writes it, "(2)" and all
  std::string year;
  std::string country;
  std::string catalog_number;
  std::vector<std::string> labels;
  std::vector<std::string> formats;
};

class DatabaseSource {
 public:
  virtual ~DatabaseSource() = default;

  // Whether the term is one of the database's own addresses, which
  // resolve_address goes to instead of searching for it.
  virtual bool is_address(const std::string& term) const = 0;
  virtual Lookup<Found> resolve_address(const std::string& term) = 0;
  // The artists and labels the term finds (the pages may answer with one
  // of them straight away).
  virtual Lookup<Found> search(const std::string& term) = 0;
  virtual Lookup<Discography> list_releases(const SearchHit& hit) = 0;
  // The release behind a link of a Discography ("/release/ID").
  virtual Lookup<Release> read_release(const std::string& link) = 0;
  virtual Lookup<std::vector<ReleaseHit>> find_releases(const ReleaseQuery& query) = 0;
};
