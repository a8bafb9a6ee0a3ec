// The API source's manners against canned answers: rate-limit waits, the
// pause when the rate window runs low, what each status means, and how many
// pages of a list are read. Nothing here sleeps or goes on the network.
#include "web/api/api_database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::FieldsAre;

const char kRelease[] =
    "{\"title\": \"Night Ferry\", \"artists\": [{\"name\": \"Harbour Lights\"}],"
    " \"tracklist\": [{\"position\": \"1\", \"type_\": \"track\", \"title\": \"Salt Road\"}]}";

ApiResponse answer(int status, const std::string& body = "{}", int retry_after = -1,
                   int remaining = -1) {
  ApiResponse response;
  response.answered = true;
  response.status = status;
  response.body = body;
  response.retry_after = retry_after;
  response.remaining = remaining;
  return response;
}

ApiResponse too_many(int retry_after = -1) { return answer(429, "{}", retry_after); }

// Answers from a script, in order; the last answer repeats, but a source
// that keeps asking is answered with a failure at last rather than hang the
// test. Requests and waits go into one log, so that their order shows.
struct Script : ApiTransport, ApiWait {
  explicit Script(std::deque<ApiResponse> answers) : answers(std::move(answers)) {}

  ApiResponse get(const std::string& path) override {
    paths.push_back(path);
    log.push_back("GET " + path);
    if (paths.size() > 100) return answer(500);
    const ApiResponse next = answers.front();
    if (answers.size() > 1) answers.pop_front();
    return next;
  }
  void wait(int seconds, const std::string& reason) override {
    waits.push_back(seconds);
    reasons.push_back(reason);
    log.push_back("wait " + std::to_string(seconds));
  }
  bool stopped() const override { return stop_waits; }

  std::deque<ApiResponse> answers;
  std::vector<std::string> paths;
  std::vector<int> waits;
  std::vector<std::string> reasons;
  std::vector<std::string> log;
  bool stop_waits = false;  // the user stops every wait
};

std::string discography_page(int page, int pages) {
  const std::string id = std::to_string(100 + page);
  return "{\"pagination\": {\"page\": " + std::to_string(page) +
         ", \"pages\": " + std::to_string(pages) + "}, \"releases\": [{\"id\": " + id +
         ", \"type\": \"release\", \"role\": \"Main\", \"title\": \"T" + id + "\"}]}";
}

TEST(ApiRateLimit, WaitsAsToldElseDoublingUntilAMinuteInAll) {
  const struct {
    const char* name;
    std::deque<ApiResponse> answers;
    std::vector<int> waits;
    LookupFailure outcome;
    int seconds_waited;  // told with kRateLimited
  } rows[] = {
      {"Retry-After is taken", {too_many(3), answer(200, kRelease)}, {3}, LookupFailure::kNone, 0},
      {"without Retry-After from 1 s, doubling",
       {too_many(), too_many(), too_many(), answer(200, kRelease)},
       {1, 2, 4},
       LookupFailure::kNone,
       0},
      {"a Retry-After of 0 counts as none",
       {too_many(0), too_many(0), answer(200, kRelease)},
       {1, 2},
       LookupFailure::kNone,
       0},
      {"exactly a minute in all is still waited",
       {too_many(60), answer(200, kRelease)},
       {60},
       LookupFailure::kNone,
       0},
      {"the back-off stops before passing a minute",
       {too_many()},
       {1, 2, 4, 8, 16},
       LookupFailure::kRateLimited,
       31},
      {"a wait over the minute gives up at once",
       {too_many(61)},
       {},
       LookupFailure::kRateLimited,
       0},
      {"Retry-After waits count towards the minute",
       {too_many(30)},
       {30, 30},
       LookupFailure::kRateLimited,
       60},
  };
  for (const auto& row : rows) {
    Script script(row.answers);
    ApiDatabase database(script, script);
    const Lookup<Release> release = database.read_release("/release/7");
    EXPECT_THAT(script.waits, ElementsAreArray(row.waits)) << row.name;
    EXPECT_EQ(release.failure.kind, row.outcome) << row.name;
    EXPECT_EQ(release.failure.seconds_waited, row.seconds_waited) << row.name;
    EXPECT_EQ(script.paths.size(), row.waits.size() + 1) << row.name;
    if (row.outcome == LookupFailure::kNone) {
      EXPECT_EQ(release.value.title, "Night Ferry") << row.name;
    }
  }
}

TEST(ApiRateLimit, TheWaitSaysWhyAndHowLong) {
  Script script({too_many(1), too_many(), answer(200, kRelease)});
  ApiDatabase database(script, script);
  database.read_release("/release/7");
  EXPECT_THAT(script.reasons,
              ElementsAre("The database asked to slow down (HTTP 429). Waiting 1 second before "
                          "asking again",
                          "The database asked to slow down (HTTP 429). Waiting 2 seconds before "
                          "asking again"));
}

// Fewer than three requests left in the window: a second's pause before the
// next request, not after it.
TEST(ApiPacing, PausesBeforeTheNextRequestWhenTheWindowRunsLow) {
  const struct {
    const char* name;
    int remaining;
    std::vector<std::string> log;
  } rows[] = {
      {"two left", 2, {"GET /releases/1", "wait 1", "GET /releases/2"}},
      {"none left", 0, {"GET /releases/1", "wait 1", "GET /releases/2"}},
      {"three left", 3, {"GET /releases/1", "GET /releases/2"}},
      {"count unknown", -1, {"GET /releases/1", "GET /releases/2"}},
  };
  for (const auto& row : rows) {
    Script script({answer(200, kRelease, -1, row.remaining)});
    ApiDatabase database(script, script);
    database.read_release("/release/1");
    database.read_release("/release/2");
    EXPECT_THAT(script.log, ElementsAreArray(row.log)) << row.name;
  }
}

// A wait the user stops gives the lookup up at once: no request after it.
TEST(ApiRateLimit, AStoppedWaitGivesTheLookupUp) {
  const struct {
    const char* name;
    std::deque<ApiResponse> answers;
    std::vector<std::string> log;
  } rows[] = {
      {"asked to slow down", {too_many(1), answer(200, kRelease)}, {"GET /releases/1", "wait 1"}},
      {"pacing", {answer(200, kRelease, -1, 0)}, {"GET /releases/1", "wait 1"}},
  };
  for (const auto& row : rows) {
    Script script(row.answers);
    script.stop_waits = true;
    ApiDatabase database(script, script);
    LookupFailure kind = database.read_release("/release/1").failure.kind;
    if (kind == LookupFailure::kNone) kind = database.read_release("/release/2").failure.kind;
    EXPECT_EQ(kind, LookupFailure::kCancelled) << row.name;
    EXPECT_THAT(script.log, ElementsAreArray(row.log)) << row.name;
  }
}

TEST(ApiFailures, EachStatusIsItsOwnFailureNamingWhatWasAsked) {
  ApiResponse silent;  // no answer at all
  const struct {
    const char* name;
    ApiResponse response;
    LookupFailure kind;
    int status;
  } rows[] = {
      {"401", answer(401), LookupFailure::kBadToken, 401},
      {"403", answer(403), LookupFailure::kRefused, 403},
      {"404", answer(404), LookupFailure::kNotFound, 404},
      {"500", answer(500), LookupFailure::kBadStatus, 500},
      {"302", answer(302), LookupFailure::kBadStatus, 302},
      {"no answer", silent, LookupFailure::kNoConnection, 0},
      {"not JSON", answer(200, "<html>"), LookupFailure::kUnreadable, 0},
  };
  for (const auto& row : rows) {
    Script script({row.response});
    ApiDatabase database(script, script);
    const Lookup<Release> release = database.read_release("/release/249504");
    EXPECT_EQ(release.failure.kind, row.kind) << row.name;
    EXPECT_EQ(release.failure.status, row.status) << row.name;
    EXPECT_EQ(release.failure.what, "release 249504") << row.name;
    EXPECT_FALSE(release.failure.from_pages) << row.name;
    EXPECT_THAT(script.paths, ElementsAre("/releases/249504")) << row.name;
  }
}

TEST(ApiPaging, AListIsReadPageByPageUpToTenPagesOfAHundred) {
  const struct {
    const char* name;
    int pages;
    size_t requests;
  } rows[] = {{"one page", 1, 1}, {"three pages", 3, 3}, {"ten", 10, 10}, {"thirty", 30, 10}};
  for (const auto& row : rows) {
    std::deque<ApiResponse> answers;
    for (int page = 1; page <= 12; ++page) {
      answers.push_back(answer(200, discography_page(page, row.pages)));
    }
    Script script(answers);
    ApiDatabase database(script, script);
    const Lookup<Discography> list = database.list_releases({"/artist/X", "42", false});
    ASSERT_TRUE(list.ok()) << row.name;
    ASSERT_EQ(script.paths.size(), row.requests) << row.name;
    EXPECT_EQ(script.paths.back(),
              "/artists/42/releases?per_page=100&page=" + std::to_string(row.requests))
        << row.name;
    ASSERT_EQ(list.value.links.size(), row.requests) << row.name;
    EXPECT_EQ(list.value.links.back(), "/release/" + std::to_string(100 + row.requests))
        << row.name;
    EXPECT_EQ(list.value.entries.back().title, "T" + std::to_string(100 + row.requests))
        << row.name;
  }
}

TEST(ApiPaging, AFailedPageFailsTheListAndALabelIsAskedAsALabel) {
  Script script({answer(200, discography_page(1, 3)), answer(404)});
  ApiDatabase database(script, script);
  const Lookup<Discography> list = database.list_releases({"/label/Y", "9", true});
  EXPECT_EQ(list.failure.kind, LookupFailure::kNotFound);
  EXPECT_EQ(list.failure.what, "label 9");
  EXPECT_THAT(script.paths, ElementsAre("/labels/9/releases?per_page=100&page=1",
                                        "/labels/9/releases?per_page=100&page=2"));
}

TEST(ApiSearch, ArtistsThenLabelsAsLinksWithTheirIds) {
  Script script(
      {answer(200, "{\"results\": [{\"type\": \"artist\", \"id\": 5, \"title\": \"Sable & Co\"}]}"),
       answer(200, "{\"results\": [{\"type\": \"label\", \"id\": 6, \"title\": \"Tide\"}]}")});
  ApiDatabase database(script, script);
  const Lookup<Found> found = database.search("Sable Reyes");
  ASSERT_TRUE(found.ok());
  EXPECT_EQ(found.value.kind, Found::kHits);
  EXPECT_THAT(found.value.hits, ElementsAre(FieldsAre("/artist/Sable+%26+Co", "5", false),
                                            FieldsAre("/label/Tide", "6", true)));
  EXPECT_THAT(script.paths,
              ElementsAre("/database/search?q=Sable%20Reyes&type=artist&per_page=100",
                          "/database/search?q=Sable%20Reyes&type=label&per_page=100"));
}

TEST(ApiAddress, AMasterLeadsToItsMainReleaseAndAnArtistToItsList) {
  Script master({answer(200, "{\"main_release\": 77}"), answer(200, kRelease)});
  ApiDatabase by_master(master, master);
  const std::string address = "https://www.discogs.com/master/12-Night-Ferry";
  ASSERT_TRUE(by_master.is_address(address));
  const Lookup<Found> release = by_master.resolve_address(address);
  ASSERT_TRUE(release.ok());
  EXPECT_EQ(release.value.kind, Found::kRelease);
  EXPECT_EQ(release.value.release.title, "Night Ferry");
  EXPECT_THAT(master.paths, ElementsAre("/masters/12", "/releases/77"));

  Script artist({answer(200, discography_page(1, 1))});
  ApiDatabase by_artist(artist, artist);
  const Lookup<Found> list = by_artist.resolve_address("http://discogs.com/artist/42");
  EXPECT_EQ(list.value.kind, Found::kArtist);
  EXPECT_THAT(list.value.discography.links, ElementsAre("/release/101"));
  EXPECT_FALSE(by_artist.is_address("Harbour Lights"));
}

TEST(ApiFindReleases, ByArtistAndTitleOrFreeText) {
  Script script({answer(
      200,
      "{\"results\": [{\"type\": \"release\", \"id\": 3, \"title\": \"Harbour Lights - Night "
      "Ferry\", \"year\": \"2005\", \"country\": \"UK\", \"catno\": \"HL 007\", \"label\": "
      "[\"Tide\", \"Pressing Co\"], \"format\": [\"CD\", \"Album\"]},"
      " {\"type\": \"master\", \"id\": 4, \"title\": \"Harbour Lights - Night Ferry\"}]}")});
  ApiDatabase database(script, script);
  const Lookup<std::vector<ReleaseHit>> hits =
      database.find_releases({"Harbour Lights", "Night Ferry", ""});
  ASSERT_TRUE(hits.ok());
  EXPECT_THAT(hits.value, ElementsAre(FieldsAre("3", "Harbour Lights - Night Ferry", "2005", "UK",
                                                "HL 007", ElementsAre("Tide", "Pressing Co"),
                                                ElementsAre("CD", "Album"))));
  database.find_releases({"", "", "night ferry"});
  EXPECT_THAT(script.paths,
              ElementsAre("/database/search?type=release&artist=Harbour%20Lights&release_title="
                          "Night%20Ferry&per_page=100",
                          "/database/search?type=release&q=night%20ferry&per_page=100"));
}

}  // namespace
