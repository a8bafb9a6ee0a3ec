#include "web/http_client.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/http/http.h"
#include "tests/support/mp3_files.h"
#include "tests/support/recording_front_end.h"
#include "tests/support/standin_server.h"
#include "web/hosts.h"

using test_support::ScopedProxy;
using test_support::StandinServer;
using ::testing::HasSubstr;

namespace {

constexpr const char* kAgent = "KAVORN(0.9/;p)";

const std::string kBase = kDatabaseBase;
const std::string kSearch = kBase + "/search?type=all&q=Harbour+Lights";
const std::string kCover = "http://images.discogs.com/R/R-100101.jpg";

// The stand-in database, reached through the proxy as the real one is.
struct Standin {
  bool get(const std::string& url) { return client->Request(url, HttpClient::kMethodGet, kAgent); }
  explicit Standin(const std::vector<std::string>& args = {}) : server(args) {}
  StandinServer server;
  ScopedProxy proxy{server.proxy_url()};
  std::unique_ptr<HttpClient> client = std::make_unique<HttpClient>();
};

}  // namespace

TEST(HttpClientSplitUrl, UrlsWhosePartsFitCanBeRequested) {
  const std::string long_host(1024, 'h');
  const struct {
    std::string url;
    int fits;
  } cases[] = {
      {"http://h/search?type=all&q=a+b", 1},
      {"h:8080/p", 1},
      {"http://h:81x/p", 1},  // the port is read up to the first non-digit
      {"http://h:99999999999999999999/p", 0},
      {"http://" + long_host + "/p", 0},
      {"http://h:1/" + std::string(1022, 'p'), 1},  // 1023 bytes of path fit
      {"http://h/" + std::string(1023, 'p'), 0},
      {std::string(1024, 's') + "://h/p", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(HttpClient::SplitUrl(c.url), c.fits) << c.url.substr(0, 40);
}

// What a page request gives for each way the server answers, and how a
// failure is named: its kind, the host asked and the system's reason.
TEST(HttpClient, PageRequestsAgainstEveryKindOfAnswer) {
  constexpr auto kNone = HttpFailure::kNone, kNoConnection = HttpFailure::kNoConnection,
                 kCutOff = HttpFailure::kCutOff;
  const struct {
    std::vector<std::string> server;
    std::string url;
    bool ok;
    std::string body;  // a part of the body
    size_t requests;   // that reached the server
    HttpFailure::Kind failure;
    std::string reason;  // a part of it
  } cases[] = {
      {{}, kSearch, true, "Harbour Lights", 1, kNone, ""},
      // an error page is a page
      {{"--fault", "status-404"}, kSearch, true, "404", 1, kNone, ""},
      {{"--fault", "refuse"}, kSearch, false, "", 1, kNoConnection, "reset"},
      {{"--fault", "reset-mid-body"}, kSearch, false, "", 1, kCutOff, "reset"},
      {{"--fault", "redirect-loop"}, kSearch, false, "", 6, kNoConnection, "redirects"},
      {{"--fault", "empty-body"}, kSearch, false, "", 1, kNoConnection, "empty"},
      {{}, kBase + "/" + std::string(1100, 'p'), false, "", 0, kNoConnection, "cannot be"},
      {{}, "ftp://127.0.0.1/x", false, "", 0, kNoConnection, "ftp"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url.substr(0, 60) + (c.server.empty() ? "" : " " + c.server[1]));
    Standin standin(c.server);
    EXPECT_EQ(standin.get(c.url), c.ok);
    EXPECT_THAT(standin.client->BodyText(), HasSubstr(c.body));
    EXPECT_EQ(standin.server.request_log().size(), c.requests);
    const HttpFailure& failure = standin.client->Failure();
    EXPECT_EQ(failure.kind, c.failure);
    EXPECT_EQ(failure.host, c.ok ? "" : platform::url_host(c.url));
    EXPECT_THAT(failure.reason, HasSubstr(c.reason));
  }
}

TEST(HttpClient, SendsAnHttp10GetWithTheAgentAndEncodesTypedAddresses) {
  Standin standin;
  ASSERT_TRUE(standin.get(kBase + "/artist/Caf\xE9 Noir\t?q=\"a\""));
  ASSERT_TRUE(standin.get(kSearch));
  EXPECT_THAT(standin.client->BodyText(), HasSubstr("Harbour Lights"));
  EXPECT_EQ(standin.client->received, standin.client->BodyText().size());
  EXPECT_EQ(standin.server.request_log(),
            (std::vector<std::string>{
                "GET " + kBase + "/artist/Caf%C3%A9%20Noir%09?q=\"a\" HTTP/1.0 " + kAgent,
                "GET " + kSearch + " HTTP/1.0 " + kAgent}));
}

TEST(HttpClient, ALongPageIsCutAtTheCapacity) {
  Standin standin({"--fault", "huge-page", "--fault-path", "/search"});
  ASSERT_TRUE(standin.get(kSearch));
  EXPECT_EQ(standin.client->received, HttpClient::kBodyCapacity);
  EXPECT_EQ(standin.client->Body()[HttpClient::kBodyCapacity], '\0');
  // A shorter page after it ends where it ends: nothing of the long one shows.
  ASSERT_TRUE(standin.get(kBase + "/artist/Harbour+Lights"));
  EXPECT_LT(standin.client->received, HttpClient::kBodyCapacity);
  EXPECT_EQ(std::strlen(standin.client->Body()), standin.client->received);
}

// A server that stalls, or sends a page too slowly, is given up on after
// the limits; a page cut short by them is no page.
TEST(HttpClient, SlowServersAreGivenUpOn) {
  // Connect, stall and total seconds: only one of them can run out first.
  const struct {
    const char* fault;
    platform::HttpLimits limits;
    long ran_out;
  } cases[] = {{"stall", {10, 1, 5}, 1}, {"trickle", {10, 3, 2}, 2}};
  for (const auto& c : cases) {
    const char* const fault = c.fault;
    test_support::RecordingFrontEnd ui;  // the wait is shown meanwhile, again and again
    Standin standin({"--fault", fault});
    standin.client->set_limits(c.limits);
    EXPECT_FALSE(standin.get(kSearch)) << fault;
    EXPECT_EQ(standin.client->Failure().kind, HttpFailure::kTimedOut) << fault;
    EXPECT_EQ(standin.client->Failure().seconds, c.ran_out) << fault;
    EXPECT_GT(ui.waits.size(), 2u) << fault;
    EXPECT_EQ(ui.waits.front(), "Waiting for www.discogs.com") << fault;
    EXPECT_EQ(ui.ended_waits, 1) << fault;
    ui.waits.clear();
    Standin quick;
    EXPECT_TRUE(quick.get(kSearch));
    EXPECT_TRUE(ui.waits.empty());  // a quick answer shows nothing
  }
}

TEST(HttpClient, NothingListeningFails) {
  ScopedProxy gone(StandinServer().proxy_url());  // the server ends with this line
  EXPECT_FALSE(std::make_unique<HttpClient>()->Request(kSearch, HttpClient::kMethodGet, kAgent));
}

// A picture is taken whole or not at all.
TEST(HttpClient, WholeBodies) {
  const std::string cover =
      test_support::read_file(PLINTH_SOURCE_DIR "/tools/catalogue/covers/R-100101.jpg");
  const std::string over_the_limit = std::to_string(HttpClient::kWholeBodyLimit + 1);
  const struct {
    std::vector<std::string> server;
    size_t size;  // 0: no picture
    HttpFailure::Kind failure;
  } cases[] = {
      {{}, cover.size(), HttpFailure::kNone},
      {{"--fault", "huge-cover"}, 5 << 20, HttpFailure::kNone},  // far over a page's capacity
      {{"--fault", "status-404"}, 0, HttpFailure::kNone},        // an answer, not a picture
      {{"--fault", "reset-mid-body"}, 0, HttpFailure::kCutOff},
      {{"--fault", "huge-cover", "--fault-size", over_the_limit}, 0, HttpFailure::kTooLarge},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.server.empty() ? "" : c.server[1]);
    Standin standin(c.server);
    std::string body = "old";
    EXPECT_EQ(standin.client->RequestWhole(kCover, kAgent, body), c.size > 0);
    EXPECT_EQ(body.size(), c.size);
    EXPECT_TRUE(c.size == 0 || body.compare(0, cover.size(), cover) == 0);
    EXPECT_EQ(standin.client->Failure().kind, c.failure);
  }
}

// The API's requests and the pictures go over HTTP/1.1 on one connection
// (here the proxy's) for the whole run, the token only on the request that
// carries it; the site's pages keep HTTP/1.0 and a connection each.
TEST(HttpClient, OneConnectionForTheApiAndPicturesAndTheTokenGoesWithNothingElse) {
  Standin standin;
  const std::string release = "http://api.discogs.com/releases/100101";
  std::string body;
  EXPECT_TRUE(standin.client->RequestWithHeaders(
      release, kAgent, {"Authorization: Discogs token=standin-token"}, body));
  EXPECT_TRUE(standin.client->RequestWhole(kCover, kAgent, body));
  EXPECT_TRUE(standin.get(kSearch));
  EXPECT_TRUE(standin.get(kSearch));
  EXPECT_TRUE(standin.client->RequestWhole(kCover, kAgent, body));
  EXPECT_EQ(standin.server.request_log(),
            (std::vector<std::string>{
                "GET " + release + " HTTP/1.1 " + kAgent +
                    " [Authorization: Discogs token=standin-token]",
                "GET " + kCover + " HTTP/1.1 " + kAgent + " [same connection]",
                "GET " + kSearch + " HTTP/1.0 " + kAgent, "GET " + kSearch + " HTTP/1.0 " + kAgent,
                "GET " + kCover + " HTTP/1.1 " + kAgent + " [same connection]"}));
}
