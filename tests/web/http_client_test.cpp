#include "web/http_client.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/canned_http_server.h"
#include "tests/support/recording_front_end.h"

using test_support::CannedAnswer;
using test_support::CannedHttpServer;
using test_support::ScopedProxy;

namespace {

constexpr const char* kAgent = "KAVORN(0.9/;p)";

// Every test talks to its own loopback server directly, whatever proxy the
// machine has configured.
class HttpClientTest : public ::testing::Test {
 protected:
  ScopedProxy no_proxy_{""};
  std::unique_ptr<HttpClient> client_ = std::make_unique<HttpClient>();
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

TEST_F(HttpClientTest, SendsAnHttp10GetWithAgentAndAccept) {
  CannedHttpServer server([](const std::string&) { return CannedAnswer::Page(200, "hello"); });
  ASSERT_TRUE(
      client_->Request(server.url("/search?type=all&q=a+b"), HttpClient::kMethodGet, kAgent));
  EXPECT_EQ(client_->BodyText(), "hello");
  EXPECT_EQ(client_->received, 5u);
  ASSERT_EQ(server.requests().size(), 1u);
  const std::string head = server.requests()[0];
  EXPECT_EQ(test_support::request_line(head), "GET /search?type=all&q=a+b HTTP/1.0");
  EXPECT_EQ(test_support::header_value(head, "User-Agent"), kAgent);
  EXPECT_EQ(test_support::header_value(head, "Accept"), "*/*");
  EXPECT_NE(std::string(client_->Headers()).find("HTTP/1.0 200"), std::string::npos);
}

TEST_F(HttpClientTest, ErrorPageWithBodyIsASuccess) {
  CannedHttpServer server([](const std::string&) { return CannedAnswer::Page(404, "gone"); });
  EXPECT_TRUE(client_->Request(server.url("/nothing"), HttpClient::kMethodGet, kAgent));
  EXPECT_EQ(client_->BodyText(), "gone");
}

TEST_F(HttpClientTest, EmptyBodyOrNoAnswerFails) {
  CannedHttpServer empty([](const std::string&) { return CannedAnswer::Page(200, ""); });
  EXPECT_FALSE(client_->Request(empty.url("/"), HttpClient::kMethodGet, kAgent));
  EXPECT_EQ(client_->received, 0u);

  CannedHttpServer silent([](const std::string&) { return CannedAnswer::CloseAtOnce(); });
  EXPECT_FALSE(client_->Request(silent.url("/"), HttpClient::kMethodGet, kAgent));
}

TEST_F(HttpClientTest, NothingListeningFails) {
  std::string url;
  {
    CannedHttpServer gone([](const std::string&) { return CannedAnswer::Page(200, "x"); });
    url = gone.url("/");
  }
  EXPECT_FALSE(client_->Request(url, HttpClient::kMethodGet, kAgent));
}

TEST_F(HttpClientTest, LongBodyIsCutAtTheCapacity) {
  std::string body;
  for (int i = 0; body.size() < 150000; ++i) body += "row " + std::to_string(i) + "\n";
  body.resize(150000);
  CannedHttpServer server([&](const std::string&) { return CannedAnswer::Page(200, body); });
  ASSERT_TRUE(client_->Request(server.url("/big"), HttpClient::kMethodGet, kAgent));
  EXPECT_EQ(client_->received, HttpClient::kBodyCapacity);
  EXPECT_EQ(client_->BodyText(), body.substr(0, HttpClient::kBodyCapacity));
  EXPECT_EQ(client_->Body()[HttpClient::kBodyCapacity], '\0');
}

TEST_F(HttpClientTest, EachRequestReplacesTheLastBody) {
  CannedHttpServer server([](const std::string& head) {
    return CannedAnswer::Page(200, head.find("/long") != std::string::npos ? "a long body" : "ab");
  });
  ASSERT_TRUE(client_->Request(server.url("/long"), HttpClient::kMethodGet, kAgent));
  ASSERT_TRUE(client_->Request(server.url("/short"), HttpClient::kMethodGet, kAgent));
  EXPECT_EQ(client_->BodyText(), "ab");
  EXPECT_EQ(client_->received, 2u);
}

TEST_F(HttpClientTest, BodyTextStopsAtAZeroByte) {
  CannedHttpServer server(
      [](const std::string&) { return CannedAnswer::Page(200, std::string("ab\0cd", 5)); });
  ASSERT_TRUE(client_->Request(server.url("/"), HttpClient::kMethodGet, kAgent));
  EXPECT_EQ(client_->received, 5u);
  EXPECT_EQ(client_->BodyText(), "ab");
}

TEST_F(HttpClientTest, RedirectsAreFollowed) {
  CannedHttpServer server([](const std::string& head) {
    if (test_support::request_line(head) == "GET /old HTTP/1.0") {
      return CannedAnswer::Bytes("HTTP/1.0 302 Found\r\nLocation: /new\r\n\r\nmoved");
    }
    return CannedAnswer::Page(200, "new place");
  });
  ASSERT_TRUE(client_->Request(server.url("/old"), HttpClient::kMethodGet, kAgent));
  EXPECT_EQ(client_->BodyText(), "new place");
  EXPECT_EQ(std::string(client_->Headers()).find("302"), std::string::npos);
  EXPECT_EQ(server.requests().size(), 2u);
}

TEST_F(HttpClientTest, EndlessRedirectsEnd) {
  CannedHttpServer server([](const std::string&) {
    return CannedAnswer::Bytes("HTTP/1.0 302 Found\r\nLocation: /again\r\n\r\nmoved");
  });
  client_->Request(server.url("/again"), HttpClient::kMethodGet, kAgent);
  EXPECT_LE(server.requests().size(), 10u);
}

TEST_F(HttpClientTest, OverlongUrlIsNotSent) {
  CannedHttpServer server([](const std::string&) { return CannedAnswer::Page(200, "x"); });
  EXPECT_FALSE(
      client_->Request(server.url("/" + std::string(1100, 'p')), HttpClient::kMethodGet, kAgent));
  EXPECT_TRUE(server.requests().empty());
}

TEST_F(HttpClientTest, OnlyHttpAndHttpsAreFetched) {
  EXPECT_FALSE(client_->Request("file:///etc/hostname", HttpClient::kMethodGet, kAgent));
  EXPECT_FALSE(client_->Request("ftp://127.0.0.1/x", HttpClient::kMethodGet, kAgent));
}

TEST_F(HttpClientTest, StalledServerIsGivenUpOnAndTheWaitIsShownMeanwhile) {
  test_support::RecordingFrontEnd ui;
  CannedHttpServer server([](const std::string&) { return CannedAnswer::Stall(); });
  EXPECT_FALSE(client_->Request(server.url("/"), HttpClient::kMethodGet, kAgent));
  ASSERT_GT(ui.waits.size(), 10u);  // again and again, so that windows are drawn
  EXPECT_EQ(ui.waits.front(), "Waiting for 127.0.0.1");
  EXPECT_EQ(ui.ended_waits, 1);
  ui.waits.clear();
  CannedHttpServer quick([](const std::string&) { return CannedAnswer::Page(200, "x"); });
  EXPECT_TRUE(client_->Request(quick.url("/"), HttpClient::kMethodGet, kAgent));
  EXPECT_TRUE(ui.waits.empty());  // a quick answer shows nothing
}

TEST_F(HttpClientTest, APageCutByTheTimeLimitIsNoPage) {
  CannedHttpServer server([](const std::string&) {
    return CannedAnswer::Trickle("HTTP/1.0 200 OK\r\n\r\n<html>" + std::string(100, 'x'));
  });
  platform::HttpLimits limits;
  limits.total_seconds = 2;
  client_->set_limits(limits);
  EXPECT_FALSE(client_->Request(server.url("/"), HttpClient::kMethodGet, kAgent));
}

TEST(HttpClientProxy, AbsoluteTargetGoesToTheProxy) {
  CannedHttpServer proxy([](const std::string&) { return CannedAnswer::Page(200, "via proxy"); });
  ScopedProxy through(proxy.url(""));
  auto client = std::make_unique<HttpClient>();
  ASSERT_TRUE(
      client->Request("http://www.discogs.com/artist/Someone", HttpClient::kMethodGet, kAgent));
  EXPECT_EQ(client->BodyText(), "via proxy");
  ASSERT_EQ(proxy.requests().size(), 1u);
  EXPECT_EQ(test_support::request_line(proxy.requests()[0]),
            "GET http://www.discogs.com/artist/Someone HTTP/1.0");
}

TEST(HttpClientProxy, BlanksAndAccentsOfATypedAddressAreEncoded) {
  CannedHttpServer proxy([](const std::string&) { return CannedAnswer::Page(200, "x"); });
  ScopedProxy through(proxy.url(""));
  auto client = std::make_unique<HttpClient>();
  ASSERT_TRUE(client->Request("http://www.discogs.com/artist/Caf\xE9 Noir\t?q=\"a\"",
                              HttpClient::kMethodGet, kAgent));
  ASSERT_EQ(proxy.requests().size(), 1u);
  EXPECT_EQ(test_support::request_line(proxy.requests()[0]),
            "GET http://www.discogs.com/artist/Caf%C3%A9%20Noir%09?q=\"a\" HTTP/1.0");
}

TEST_F(HttpClientTest, WholeBodyOfALargeResponse) {
  const std::string picture(150000, '\xFF');
  CannedHttpServer server([&](const std::string&) { return CannedAnswer::Page(200, picture); });
  std::string body;
  ASSERT_TRUE(client_->RequestWhole(server.url("/cover.jpg"), kAgent, body));
  EXPECT_EQ(body, picture);
}

TEST_F(HttpClientTest, WholeBodyRefusesErrorsAndCutResponses) {
  CannedHttpServer missing([](const std::string&) { return CannedAnswer::Page(404, "none"); });
  std::string body = "old";
  EXPECT_FALSE(client_->RequestWhole(missing.url("/x.jpg"), kAgent, body));
  EXPECT_EQ(body, "");

  CannedHttpServer cut([](const std::string&) {
    return CannedAnswer::Bytes("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\nonly this");
  });
  EXPECT_FALSE(client_->RequestWhole(cut.url("/x.jpg"), kAgent, body));
  EXPECT_EQ(body, "");

  CannedHttpServer empty([](const std::string&) { return CannedAnswer::Page(200, ""); });
  EXPECT_FALSE(client_->RequestWhole(empty.url("/x.jpg"), kAgent, body));
}
