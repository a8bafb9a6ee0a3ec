// The stand-in web database: its pages, search, covers, request log and
// fault modes, seen from outside through plain and proxy requests. The page
// checks read the pages with the same fixed text markers that the program's
// readers look for, written out here in short.
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "common/text.h"
#include "tests/support/standin_server.h"
#include "tests/support/temp_dir.h"

using test_support::exchange;
using test_support::get_request;
using test_support::HttpExchange;
using test_support::StandinServer;
using test_support::TempDir;

namespace {

const std::string kDb = "http://www.discogs.com";
const std::string kImages = "http://images.discogs.com";
const std::string kMaker = "http://www.plinth.example";
constexpr size_t npos = std::string::npos;

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void write_file(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string catalogue_file(const std::string& relative) {
  return std::string(PLINTH_SOURCE_DIR) + "/tools/catalogue/" + relative;
}

std::string host_of(const std::string& url) {
  const size_t start = url.find("://") + 3;
  return url.substr(start, url.find('/', start) - start);
}

std::string path_of(const std::string& url) {
  return url.substr(url.find('/', url.find("://") + 3));
}

// The request a client sends to its proxy: the whole address as the target.
HttpExchange proxy_get(const StandinServer& server, const std::string& url,
                       const std::string& agent = "KAVORN(0.9/;p)") {
  return exchange(server.port(), get_request(url, host_of(url), agent));
}

// The request a client sends to the server itself.
HttpExchange plain_get(const StandinServer& server, const std::string& url, std::string host = "") {
  if (host.empty()) host = host_of(url);
  return exchange(server.port(), get_request(path_of(url), host));
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != npos; }

// Waits until the server has logged `count` requests (a bounded number of polls).
void await_log(const StandinServer& server, size_t count) {
  for (int i = 0; i < 500 && server.request_log().size() < count; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// ---------------------------------------------------------------------------
// The page readers' marker searches, in short.

std::string text_between(const std::string& s, size_t open, char close) {
  if (open == npos) return "";
  const size_t end = s.find(close, open + 1);
  return end == npos ? "" : s.substr(open + 1, end - open - 1);
}

bool is_search_page(const std::string& page) {
  return contains(page, "Search results") || contains(page, "Your search for");
}

std::vector<std::string> search_results(const std::string& page) {
  std::vector<std::string> links;
  for (const std::string marker : {"<li><a href=\"/artist/", "<li><a href=\"/label/"}) {
    for (size_t at = page.find(marker); at != npos; at = page.find(marker, at + 13)) {
      const std::string link = page.substr(at + 13, page.find('"', at + 13) - at - 13);
      if (std::find(links.begin(), links.end(), link) == links.end()) links.push_back(link);
    }
  }
  return links;
}

struct Row {
  std::string link, title, format, name;  // name: the label (artist pages) or the artist (label pages)
};

// The format: inside the last '(' between the title and `end`.
std::string row_format(const std::string& section, size_t title_end, size_t end, size_t* last) {
  size_t p = title_end;
  *last = title_end;
  while (p != npos && p < end) {
    *last = p;
    p = section.find('(', p + 1);
  }
  return text_between(section, *last, ')');
}

std::vector<Row> artist_rows(const std::string& page) {
  std::vector<Row> rows;
  const size_t start = page.find("Releases:");
  if (start == npos) return rows;
  size_t end = page.find("Remixes:", start);
  if (end == npos) end = page.find("Appears On:", start);
  if (end == npos) end = page.find("Tracks Appear On:", start);
  const std::string section = page.substr(start, end == npos ? npos : end - start);
  for (size_t m = section.find("<a href=\"/release/", 1); m != npos;) {
    Row row;
    const size_t q1 = section.find('"', m);
    row.link = text_between(section, q1, '"');
    const size_t g = section.find('>', q1);
    row.title = text_between(section, g, '<');
    size_t last;
    row.format = row_format(section, g, section.find("<a href=\"/label", g), &last);
    row.name = text_between(section, section.find('>', section.find("<a href=\"/label", last)), '<');
    rows.push_back(row);
    m = section.find("<a href=\"/release/", q1 + 1);
  }
  return rows;
}

std::vector<Row> label_rows(const std::string& page) {
  std::vector<Row> rows;
  const size_t start = page.find("Discography:");
  if (start == npos) return rows;
  const size_t end = page.find("User Comments &amp; Reviews:", start);
  const std::string section = page.substr(start, end == npos ? npos : end - start);
  for (size_t m = section.find("<a href=\"/release/", 1); m != npos;) {
    Row row;
    const size_t close = section.rfind("</a>", m);
    const size_t open = close == npos ? npos : section.rfind('>', close);
    if (open != npos) row.name = section.substr(open + 1, close - open - 1);
    const size_t q1 = section.find('"', m);
    row.link = text_between(section, q1, '"');
    const size_t g = section.find('>', q1);
    row.title = text_between(section, g, '<');
    size_t last;
    row.format = row_format(section, g, section.find("</tr>", g), &last);
    rows.push_back(row);
    m = section.find("<a href=\"/release/", last + 1);
  }
  return rows;
}

void decode_entities(std::string& text) {
  for (size_t p = 0, a; (a = text.find('&', p)) != npos;) {
    const size_t semicolon = text.find(';', a);
    if (semicolon == npos || semicolon - a >= 8) {
      p = a + 1;
    } else if (text.substr(a + 1, semicolon - a - 1).find("amp") != npos) {
      text.replace(a, semicolon - a + 1, "&");
      p = a + 1;
    } else {
      text.erase(a, semicolon - a + 1);
      p = a;
    }
  }
}

std::string utf8_to_latin1(const std::string& source) {
  std::string out;
  for (size_t i = 0; i < source.size();) {
    const unsigned char b = static_cast<unsigned char>(source[i]);
    if (b < 0x7F) {
      out += source[i++];
      continue;
    }
    const unsigned char n = i + 1 < source.size() ? static_cast<unsigned char>(source[i + 1]) : 0;
    if (b == 0xC3 && n >= 0x80 && n <= 0xBF) out += static_cast<char>(n + 0x40);
    i += 2;
  }
  return out;
}

struct ReleaseRead {
  std::string artist, title, label, catalog_number, release_date, genre, style, picture_url;
  std::vector<std::string> numbers, names, track_artists;
};

// The detail row value after `label` + "</td><td>", searched from *pos on.
std::string detail_row(const std::string& page, const std::string& label, size_t* pos) {
  const size_t m = *pos == npos ? npos : page.find(label + "</td><td>", *pos);
  if (m == npos) {
    *pos = npos;
    return "";
  }
  *pos = m + label.size() + 9;
  std::string value = page.substr(*pos, page.find('<', *pos) - *pos);
  remove_tabs_and_breaks(value);
  return value;
}

ReleaseRead read_release(const std::string& page) {
  ReleaseRead r;
  const size_t title = page.find("<title>");
  std::string full = title == npos ? "" : text_between(page, title + 6, '<');
  size_t slash;
  while ((slash = full.find('/')) != npos) full.replace(slash, 1, "and");
  squeeze_blanks(full);
  if (full.find('-') != npos) r.title = full.substr(full.find('-') + 2);

  const size_t picture = page.find("<img src=\"" + kImages + "/R/t/");
  if (picture != npos) r.picture_url = text_between(page, picture + 9, '"');

  const size_t h = page.find("releaseTitle");
  const std::string header = h == npos ? "" : page.substr(h, page.find("</h1>", h) - h);
  size_t close = npos;
  for (size_t a = header.find("<a href=\"/artist/"); a != npos; a = header.find("<a href=\"/artist/", a + 1)) {
    const size_t g = header.find('>', a);
    close = header.find('<', g);
    if (r.artist.size() > 1) r.artist += " and ";
    r.artist += header.substr(g + 1, close - g - 1);
  }
  if (close != npos && header.find('-', close) != npos) r.title = header.substr(header.find('-', close) + 2);

  size_t pos = npos;
  const size_t label = page.find("<a href=\"/label/");
  if (label != npos) {
    pos = page.find('>', label);
    r.label = text_between(page, pos, '<');
  }
  r.catalog_number = detail_row(page, "Catalog#:", &pos);
  r.release_date = detail_row(page, "Released:", &pos);
  r.genre = detail_row(page, "Genre:", &pos);
  r.style = detail_row(page, "Style:", &pos);
  remove_char(r.genre, ' ');
  remove_char(r.style, ' ');
  for (std::string* field : {&r.artist, &r.title, &r.label, &r.catalog_number}) decode_entities(*field);
  r.artist = utf8_to_latin1(r.artist);
  r.title = utf8_to_latin1(r.title);

  const size_t s = pos == npos ? npos : page.find("Tracklisting:", pos);
  const size_t table_end = s == npos ? npos : page.find("</table>", s);
  if (table_end == npos) return r;
  for (size_t p = s;;) {
    const size_t c = page.find("<td", p);
    if (c == npos) break;
    p = page.find('>', c);
    const size_t l = p == npos ? npos : page.find('<', p);
    if (l == npos) break;
    const std::string cell = page.substr(p + 1, l - p - 1);
    if (contains(cell, "nbsp") || contains(page.substr(c, 12), "<small>")) continue;
    const size_t n = page.find("<td", p);
    const size_t m = n == npos ? npos : page.find("<td", n + 1);
    if (m == npos) break;
    const std::string artist_cell = page.substr(n, m - n);
    std::string artist = r.artist;
    if (artist_cell.find("/artist/") != npos) {
      artist = utf8_to_latin1(text_between(artist_cell, artist_cell.find('>', artist_cell.find("/artist/")), '<'));
    }
    const size_t q = page.find('>', m);
    if (q == npos || q > table_end) break;
    p = q;
    std::string name = text_between(page, q, '<');
    for (size_t b = name.find('('); b != npos; b = name.find('(', b + 1)) {
      const size_t e = name.find(')', b);
      if (e != npos && name.substr(b, e - b).find(':') != npos) {
        name.resize(b);
        break;
      }
    }
    if (!name.empty() && name.back() == ' ') name.pop_back();
    decode_entities(name);
    if (!cell.empty() || !name.empty()) {
      r.numbers.push_back(cell);
      r.names.push_back(utf8_to_latin1(name));
      r.track_artists.push_back(artist);
    }
    if (p >= table_end) break;
  }
  return r;
}

// ---------------------------------------------------------------------------
// One server for the tests that only read pages.

class StandinPages : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = new StandinServer(); }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  static const StandinServer& server() { return *server_; }
  static std::string page(const std::string& url) { return proxy_get(server(), url).body; }

 private:
  static StandinServer* server_;
};
StandinServer* StandinPages::server_ = nullptr;

TEST_F(StandinPages, EveryPageKindAnswersAsProxyAndAsPlainServer) {
  const std::vector<std::string> urls = {
      kDb + "/", kDb + "/search?type=all&q=Harbour+Lights", kDb + "/artist/Harbour+Lights",
      kDb + "/label/Tidewater+Records", kDb + "/release/100101", kDb + "/viewimages?release=100101",
      kDb + "/css/site.css", kImages + "/R/t/R-100101.jpg", kImages + "/R/R-100101.jpg",
      kMaker + "/plinthhelp.html"};
  for (const std::string& url : urls) {
    SCOPED_TRACE(url);
    const HttpExchange proxied = proxy_get(server(), url);
    EXPECT_EQ(proxied.raw.compare(0, 16, "HTTP/1.0 200 OK\r"), 0);
    EXPECT_TRUE(proxied.complete());
    EXPECT_EQ(proxied.header("Connection"), "close");
    EXPECT_FALSE(proxied.body.empty());
    const HttpExchange plain = plain_get(server(), url);
    EXPECT_EQ(plain.status, 200);
    EXPECT_EQ(plain.body, proxied.body);
  }
  // A plain request that names the server itself gets the database.
  const HttpExchange local = plain_get(server(), kDb + "/release/100101",
                                       "127.0.0.1:" + std::to_string(server().port()));
  EXPECT_EQ(local.body, page(kDb + "/release/100101"));
  EXPECT_EQ(local.header("Content-Type"), "text/html; charset=utf-8");
}

TEST_F(StandinPages, UnknownPathsAndHostsGetA404Page) {
  for (const std::string& url : std::vector<std::string>{kDb + "/release/999999", kDb + "/release/abc", kDb + "/artist/Nobody+Here",
                                kDb + "/label/Nobody", kDb + "/nothing/here", kDb + "/release/100101/extra",
                                kImages + "/R/t/R-1.jpg", kImages + "/R/t/../catalogue.json",
                                kMaker + "/missing.html", kMaker + "/../catalogue.json",
                                std::string("http://www.example.org/release/100101")}) {
    SCOPED_TRACE(url);
    const HttpExchange proxied = proxy_get(server(), url);
    EXPECT_EQ(proxied.status, 404);
    EXPECT_TRUE(proxied.complete());
    EXPECT_TRUE(contains(proxied.body, "Not Found"));
  }
  EXPECT_EQ(plain_get(server(), kDb + "/release/100101", "www.example.org").status, 404);
}

TEST_F(StandinPages, HeadGivesTheHeadersAndOtherMethodsAreRefused) {
  const std::string url = kDb + "/release/100101";
  HttpExchange head = exchange(server().port(), "HEAD " + url + " HTTP/1.0\r\n\r\n");
  EXPECT_EQ(head.status, 200);
  EXPECT_TRUE(head.body.empty());
  EXPECT_EQ(head.header("Content-Length"), std::to_string(page(url).size()));

  HttpExchange post = exchange(server().port(), "POST " + url + " HTTP/1.0\r\nContent-Length: 0\r\n\r\n");
  EXPECT_EQ(post.status, 405);
  EXPECT_EQ(post.header("Allow"), "GET, HEAD");
  EXPECT_EQ(exchange(server().port(), "garbage\r\n\r\n").status, 400);
}

TEST_F(StandinPages, CoverBytesEqualTheCatalogueFiles) {
  for (int id = 100101; id <= 100107; ++id) {
    const std::string name = "R-" + std::to_string(id) + ".jpg";
    SCOPED_TRACE(name);
    const HttpExchange cover = proxy_get(server(), kImages + "/R/t/" + name);
    EXPECT_EQ(cover.header("Content-Type"), "image/jpeg");
    EXPECT_EQ(cover.body, read_file(catalogue_file("covers/" + name)));
    EXPECT_EQ(cover.body.compare(0, 3, "\xFF\xD8\xFF"), 0);
  }
}

TEST_F(StandinPages, HelpPageIsServedAtTheMakersAddress) {
  const HttpExchange help = proxy_get(server(), kMaker + "/plinthhelp.html");
  EXPECT_EQ(help.body, read_file(catalogue_file("site/plinthhelp.html")));
  EXPECT_TRUE(contains(help.body, "refine"));
  EXPECT_TRUE(contains(help.body, "trackmatch"));
}

// --- search ---

TEST_F(StandinPages, SearchMatchesEveryWordOfArtistAndLabelNames) {
  const std::string lights = page(kDb + "/search?type=all&q=harbour+LIGHTS");
  EXPECT_TRUE(contains(lights, "Search results"));
  EXPECT_EQ(search_results(lights), std::vector<std::string>({"/artist/Harbour+Lights"}));
  EXPECT_TRUE(contains(lights, "<div id=\"footer\">"));  // in the site's layout
  EXPECT_EQ(search_results(page(kDb + "/search?type=all&q=Marta+Vey")),
            std::vector<std::string>({"/artist/Marta+Vey", "/artist/Marta+Vey+%282%29"}));
  EXPECT_EQ(search_results(page(kDb + "/search?type=all&q=tidewater")),
            std::vector<std::string>({"/label/Tidewater+Records"}));
  EXPECT_EQ(search_results(page(kDb + "/search?type=all&q=Lights++Harbour")),
            std::vector<std::string>({"/artist/Harbour+Lights"}));
  // Every word must match: a second word that fits nothing empties the list.
  EXPECT_TRUE(search_results(page(kDb + "/search?type=all&q=Harbour+Quill")).empty());
}

TEST_F(StandinPages, SearchFindsAccentedNamesFromUtf8AndWindows1252Terms) {
  const std::vector<std::string> expected = {"/artist/C%C3%A9leste+V%C3%A5rdahl"};
  EXPECT_EQ(search_results(page(kDb + "/search?type=all&q=C%C3%A9leste")), expected);
  EXPECT_EQ(search_results(page(kDb + "/search?type=all&q=C%E9leste")), expected);
  EXPECT_EQ(search_results(page(kDb + "/search?type=all&q=C\xE9leste+v\xE5rdahl")), expected);
  EXPECT_EQ(search_results(page(kDb + "/search?type=all&q=celeste")), expected);
}

TEST_F(StandinPages, SearchWithoutMatchesHasNoResultLinks) {
  const std::string none = page(kDb + "/search?type=all&q=Nothing+Like+This");
  EXPECT_TRUE(is_search_page(none));
  EXPECT_TRUE(contains(none, "Your search for <b>Nothing Like This</b> did not match any"));
  EXPECT_FALSE(contains(none, "Search results"));
  EXPECT_TRUE(search_results(none).empty());
  EXPECT_TRUE(search_results(page(kDb + "/search?type=all&q=")).empty());
}

TEST_F(StandinPages, SearchTermIsShownEscaped) {
  const std::string page_text = page(kDb + "/search?type=all&q=%3Cscript%3E+Rock+%26+Roll");
  EXPECT_FALSE(contains(page_text, "<script>"));
  EXPECT_TRUE(contains(page_text, "<b>&lt;script&gt; Rock &amp; Roll</b>"));
}

// --- the pages as the program's readers see them ---

TEST_F(StandinPages, PageKindsAreToldApartByTheirMarkers) {
  const std::string artist = page(kDb + "/artist/Harbour+Lights");
  const std::string label = page(kDb + "/label/Tidewater+Records");
  EXPECT_FALSE(is_search_page(artist));
  EXPECT_TRUE(contains(artist, "Releases:"));
  EXPECT_FALSE(contains(artist, "Discography:"));
  EXPECT_FALSE(is_search_page(label));
  EXPECT_TRUE(contains(label, "Discography:"));
  for (int id = 100101; id <= 100107; ++id) {
    const std::string release = page(kDb + "/release/" + std::to_string(id));
    SCOPED_TRACE(id);
    EXPECT_FALSE(is_search_page(release));
    EXPECT_FALSE(contains(release, "Discography:"));
    EXPECT_FALSE(contains(release, "Releases:"));
  }
}

TEST_F(StandinPages, ArtistPageRowsStopAtTheNextSection) {
  const std::vector<Row> rows = artist_rows(page(kDb + "/artist/Harbour+Lights"));
  ASSERT_EQ(rows.size(), 4u);  // the remix of Split Tides below "Remixes:" is not one of them
  EXPECT_EQ(rows[0].link, "/release/100101");
  EXPECT_EQ(rows[0].title, "Night Ferry");
  EXPECT_EQ(rows[0].format, "CD, Album");
  EXPECT_EQ(rows[0].name, "Tidewater Records");
  EXPECT_EQ(rows[1].format, "12\", EP");
  EXPECT_EQ(rows[3].title, "Split Tides");
  EXPECT_EQ(rows[3].name, "Lumen Lane");

  const std::vector<Row> quill = artist_rows(page(kDb + "/artist/Tomas+Quill"));
  ASSERT_EQ(quill.size(), 1u);
  EXPECT_EQ(quill[0].title, "Lowlands");
  const std::string vey = page(kDb + "/artist/Marta+Vey+%282%29");
  EXPECT_TRUE(contains(vey, "Appears On:"));
  EXPECT_EQ(artist_rows(vey).size(), 2u);
  EXPECT_TRUE(artist_rows(page(kDb + "/artist/Marta+Vey")).empty());
}

TEST_F(StandinPages, LabelPageRowsNameTheirArtists) {
  const std::vector<Row> rows = label_rows(page(kDb + "/label/Tidewater+Records"));
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].name, "Harbour Lights");
  EXPECT_EQ(rows[0].title, "Night Ferry");
  EXPECT_EQ(rows[0].link, "/release/100101");
  EXPECT_EQ(rows[0].format, "CD, Album");
  EXPECT_EQ(rows[3].name, "C\xC3\xA9leste V\xC3\xA5rdahl");
  EXPECT_EQ(rows[3].title, "Sm\xC3\xA5 Ljus");
  const std::vector<Row> lumen = label_rows(page(kDb + "/label/Lumen+Lane"));
  ASSERT_EQ(lumen.size(), 2u);
  EXPECT_EQ(lumen[1].name, "Marta Vey (2)");  // the last artist link of the row
  EXPECT_EQ(lumen[1].title, "Split Tides");
}

TEST_F(StandinPages, ReleaseWithTwelveNumberedTracks) {
  const ReleaseRead r = read_release(page(kDb + "/release/100101"));
  EXPECT_EQ(r.artist, "Harbour Lights");
  EXPECT_EQ(r.title, "Night Ferry");
  EXPECT_EQ(r.label, "Tidewater Records");
  EXPECT_EQ(r.catalog_number, "HL 007");
  EXPECT_EQ(r.release_date, "2005");
  EXPECT_EQ(r.genre, "Electronic");
  EXPECT_EQ(r.style, "Downtempo,Ambient");
  EXPECT_EQ(r.picture_url, kImages + "/R/t/R-100101.jpg");
  ASSERT_EQ(r.numbers.size(), 12u);
  for (size_t i = 0; i < 12; ++i) EXPECT_EQ(r.numbers[i], std::to_string(i + 1));
  EXPECT_EQ(r.names.front(), "Salt Road");
  EXPECT_EQ(r.names.back(), "Morning Landfall");
  EXPECT_EQ(r.track_artists, std::vector<std::string>(12, "Harbour Lights"));
}

TEST_F(StandinPages, VinylReleaseKeepsSidePositions) {
  const ReleaseRead r = read_release(page(kDb + "/release/100102"));
  EXPECT_EQ(r.numbers, std::vector<std::string>({"A1", "A2", "B1", "B2"}));
  EXPECT_EQ(r.names.back(), "Tidal Lines (Dub)");
  EXPECT_EQ(r.release_date, "14 Mar 2003");
  EXPECT_EQ(r.style, "DeepHouse,Downtempo");
  EXPECT_EQ(read_release(page(kDb + "/release/100107")).style, "DrumnBass");
}

TEST_F(StandinPages, RemixTitlesAreCutAndOtherTrackArtistsRead) {
  const ReleaseRead r = read_release(page(kDb + "/release/100103"));
  EXPECT_EQ(r.names, std::vector<std::string>({"Night Ferry", "Salt Road", "Pier Lights (Club Mix)",
                                               "Night Ferry (Live)", "Telegraph Hill (Harbour Version)"}));
  EXPECT_EQ(r.track_artists[0], "Harbour Lights");
  EXPECT_EQ(r.track_artists[4], "Marta Vey (2)");
}

TEST_F(StandinPages, NumberedArtistAndAccentedNamesAreRead) {
  const ReleaseRead vey = read_release(page(kDb + "/release/100104"));
  EXPECT_EQ(vey.artist, "Marta Vey (2)");
  EXPECT_EQ(vey.genre, "Electronic,Pop");
  EXPECT_EQ(vey.names.size(), 6u);
  const ReleaseRead celeste = read_release(page(kDb + "/release/100105"));
  EXPECT_EQ(celeste.artist, "C\xE9leste V\xE5rdahl");
  EXPECT_EQ(celeste.title, "Sm\xE5 Ljus");
  EXPECT_EQ(celeste.names, std::vector<std::string>({"\xD6ver Isen", "Caf\xE9 Nocturne", "Ljus\xE5r",
                                                     "Sj\xF6n Sover", "No\xEBl \xC0 Bergen"}));
  EXPECT_EQ(celeste.track_artists[0], "C\xE9leste V\xE5rdahl");
}

TEST_F(StandinPages, SeveralArtistsInTheHeaderAreJoined) {
  const ReleaseRead r = read_release(page(kDb + "/release/100106"));
  EXPECT_EQ(r.artist, "Harbour Lights and Marta Vey (2)");
  EXPECT_EQ(r.title, "Split Tides");
  EXPECT_EQ(r.label, "Lumen Lane");
  EXPECT_EQ(r.track_artists, std::vector<std::string>({"Harbour Lights", "Marta Vey (2)", "Harbour Lights",
                                                       "Marta Vey (2)"}));
  EXPECT_EQ(r.names[3], "Shoreline");
}

// The demo album 'Harbour_Lights - Night Ferry [HL_007] - (2005)': its first
// search term leads to its release as the first row, and on to its cover.
TEST_F(StandinPages, DemoAlbumIsReachedFromItsFolderName) {
  const std::vector<std::string> results = search_results(page(kDb + "/search?type=all&q=Harbour+Lights"));
  ASSERT_FALSE(results.empty());
  const std::vector<Row> rows = artist_rows(page(kDb + results[0]));
  ASSERT_FALSE(rows.empty());
  const ReleaseRead release = read_release(page(kDb + rows[0].link));
  EXPECT_EQ(release.title, "Night Ferry");
  EXPECT_EQ(release.catalog_number, "HL 007");
  EXPECT_EQ(release.names.size(), 12u);
  const std::string cover_name = release.picture_url.substr(release.picture_url.rfind('/') + 1);
  EXPECT_EQ(cover_name, "R-100101.jpg");
  EXPECT_EQ(page(release.picture_url), read_file(catalogue_file("covers/" + cover_name)));
}

// ---------------------------------------------------------------------------

TEST(StandinLog, OneLinePerRequestWithMethodTargetVersionAndAgent) {
  StandinServer server;
  proxy_get(server, kDb + "/search?type=all&q=Harbour+Lights");
  exchange(server.port(), get_request("/release/100101", "127.0.0.1", "Some Agent/2.0 (X11)"));
  exchange(server.port(), "GET /release/100102 HTTP/1.0\r\n\r\n");
  exchange(server.port(), "GET /search?q=\xE9\x01 HTTP/1.0\r\nUser-Agent: a\\b\r\n\r\n");
  exchange(server.port(), "HEAD " + kImages + "/R/t/R-100101.jpg HTTP/1.0\r\n\r\n");
  const std::vector<std::string> expected = {
      "GET http://www.discogs.com/search?type=all&q=Harbour+Lights HTTP/1.0 KAVORN(0.9/;p)",
      "GET /release/100101 HTTP/1.0 Some Agent/2.0 (X11)",
      "GET /release/100102 HTTP/1.0 -",
      "GET /search?q=\\xe9\\x01 HTTP/1.0 a\\\\b",
      "HEAD http://images.discogs.com/R/t/R-100101.jpg HTTP/1.0 -"};
  EXPECT_EQ(server.request_log(), expected);
  EXPECT_TRUE(contains(server.error_output(), expected[0]));
}

TEST(StandinProxy, ACurlClientReachesBothHostsThroughTheProxy) {
  StandinServer server;
  for (const std::string& url : std::vector<std::string>{kDb + "/release/100104", kImages + "/R/t/R-100104.jpg"}) {
    std::string body;
    CURL* curl = curl_easy_init();
    ASSERT_NE(curl, nullptr);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROXY, server.proxy_url().c_str());
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "KAVORN(0.9/;p)");
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, +[](char* data, size_t size, size_t n, void* out) {
      static_cast<std::string*>(out)->append(data, size * n);
      return size * n;
    });
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    EXPECT_EQ(curl_easy_perform(curl), CURLE_OK);
    curl_easy_cleanup(curl);
    EXPECT_EQ(body, proxy_get(server, url).body);
  }
  const std::vector<std::string> log = server.request_log();
  ASSERT_GE(log.size(), 1u);
  EXPECT_EQ(log[0], "GET " + kDb + "/release/100104 HTTP/1.0 KAVORN(0.9/;p)");
}

// ---------------------------------------------------------------------------

TEST(StandinCatalogue, ATestCanBringItsOwnCatalogueAndPages) {
  TempDir dir;
  std::filesystem::create_directories(dir.file("pages/release"));
  write_file(dir.file("catalogue.json"),
             R"({"releases": [{"id": 5, "artists": ["Solo Act"], "title": "First & Last",
                 "label": "Home Label", "tracks": [{"position": "1", "title": "One"}]}]})");
  write_file(dir.file("pages/release/6.html"), "<html>hand-made, no markers</html>");
  StandinServer server({"--catalogue", dir.path()});
  const ReleaseRead r = read_release(proxy_get(server, kDb + "/release/5").body);
  EXPECT_EQ(r.artist, "Solo Act");
  EXPECT_EQ(r.title, "First & Last");
  EXPECT_EQ(r.names, std::vector<std::string>({"One"}));
  EXPECT_TRUE(r.picture_url.empty());
  EXPECT_EQ(artist_rows(proxy_get(server, kDb + "/artist/Solo+Act").body).size(), 1u);
  EXPECT_EQ(label_rows(proxy_get(server, kDb + "/label/Home+Label").body).size(), 1u);
  EXPECT_EQ(proxy_get(server, kDb + "/release/6").body, "<html>hand-made, no markers</html>");
  EXPECT_EQ(proxy_get(server, kDb + "/release/100101").status, 404);
}

TEST(StandinCatalogue, WrittenPagesAreThePagesItServes) {
  TempDir dir;
  const char* python = std::getenv("PLINTH_TEST_PYTHON");
  int status = -1;
  test_support::run_command(std::string(python != nullptr ? python : "/usr/bin/python3") + " " +
                                PLINTH_SOURCE_DIR "/tools/standin_server.py --write-pages " + dir.path(),
                            &status);
  ASSERT_EQ(status, 0);
  StandinServer server;
  for (const std::string& page : std::vector<std::string>{
           "release/100105", "artist/Marta+Vey+%282%29", "label/Lumen+Lane", "search/Tomas+Quill"}) {
    SCOPED_TRACE(page);
    const std::string url = kDb + (page.rfind("search/", 0) == 0 ? "/search?type=all&q=" + page.substr(7)
                                                                  : "/" + page);
    EXPECT_EQ(read_file(dir.file(page + ".html")), proxy_get(server, url).body);
  }
  EXPECT_TRUE(search_results(read_file(dir.file("search/no-match.html"))).empty());
}

TEST(StandinCatalogue, ABrokenCatalogueStopsTheServerWithAMessage) {
  TempDir dir;
  write_file(dir.file("catalogue.json"), R"({"releases": [{"id": "seven"}]})");
  try {
    StandinServer server({"--catalogue", dir.path()});
    ADD_FAILURE() << "the server started";
  } catch (const std::runtime_error& e) {
    EXPECT_TRUE(contains(e.what(), "'id' must be a positive whole number")) << e.what();
  }
}

// ---------------------------------------------------------------------------
// Fault modes. Each check waits only for the exchange to finish.

const std::string kRelease = kDb + "/release/100101";

TEST(StandinFaults, RefuseResetsWithoutAnAnswer) {
  StandinServer server({"--fault", "refuse"});
  const HttpExchange refused = proxy_get(server, kRelease);
  EXPECT_TRUE(refused.connected);
  EXPECT_TRUE(refused.raw.empty());
  EXPECT_FALSE(refused.timed_out);
  EXPECT_EQ(server.request_log().size(), 1u);
}

TEST(StandinFaults, StallSendsNothingWhileOtherRequestsAreServed) {
  StandinServer server({"--fault", "stall", "--fault-path", "/release/"});
  HttpExchange stalled;
  std::thread waiting([&] { stalled = exchange(server.port(), get_request(kRelease, "www.discogs.com"), 2); });
  await_log(server, 1);
  const HttpExchange other = proxy_get(server, kDb + "/search?type=all&q=Tomas");
  waiting.join();
  EXPECT_EQ(other.status, 200);
  EXPECT_TRUE(stalled.timed_out);
  EXPECT_TRUE(stalled.raw.empty());
}

TEST(StandinFaults, StallAfterHeadersSendsOnlyTheHeaders) {
  StandinServer server({"--fault", "stall-after-headers"});
  const HttpExchange stalled = exchange(server.port(), get_request(kRelease, "www.discogs.com"), 3);
  EXPECT_TRUE(stalled.timed_out);
  EXPECT_EQ(stalled.status, 200);
  EXPECT_NE(stalled.header("Content-Length"), "0");
  EXPECT_TRUE(stalled.body.empty());
}

TEST(StandinFaults, ResetMidBodyBreaksOffAfterPartOfTheBody) {
  StandinServer server({"--fault", "reset-mid-body"});
  const HttpExchange broken = proxy_get(server, kRelease);
  EXPECT_EQ(broken.status, 200);
  EXPECT_FALSE(broken.complete());
  EXPECT_LT(broken.body.size(), std::stoul(broken.header("Content-Length")));
  EXPECT_FALSE(broken.timed_out);
}

TEST(StandinFaults, StatusFaultsAnswerWithErrorPages) {
  for (const std::string status : {"404", "500"}) {
    StandinServer server({"--fault", "status-" + status});
    const HttpExchange answer = proxy_get(server, kRelease);
    EXPECT_EQ(std::to_string(answer.status), status);
    EXPECT_TRUE(answer.complete());
    EXPECT_TRUE(contains(answer.body, "<html>"));
  }
}

TEST(StandinFaults, RedirectLoopPointsBackAtTheSameAddress) {
  StandinServer server({"--fault", "redirect-loop"});
  const HttpExchange proxied = proxy_get(server, kRelease);
  EXPECT_EQ(proxied.status, 302);
  EXPECT_EQ(proxied.header("Location"), kRelease);
  const HttpExchange plain = plain_get(server, kRelease);
  EXPECT_EQ(plain.header("Location"), kRelease);
}

TEST(StandinFaults, HugePageIsTheWholePagePaddedToTwentyMegabytes) {
  StandinServer server({"--fault", "huge-page"});
  const HttpExchange huge = proxy_get(server, kRelease);
  EXPECT_TRUE(huge.complete());
  EXPECT_EQ(huge.body.size(), 20u * 1024 * 1024);
  // What a reader keeps of it, the first 100000 bytes, is still the page.
  EXPECT_EQ(read_release(huge.body.substr(0, 100000)).names.size(), 12u);
  EXPECT_EQ(huge.body.substr(huge.body.size() - 8), "</html>\n");
  // Covers are not pages.
  EXPECT_EQ(proxy_get(server, kImages + "/R/t/R-100101.jpg").body,
            read_file(catalogue_file("covers/R-100101.jpg")));
}

TEST(StandinFaults, HugeCoverIsTheCoverPaddedToFiveMegabytes) {
  StandinServer server({"--fault", "huge-cover"});
  const std::string cover = read_file(catalogue_file("covers/R-100101.jpg"));
  const HttpExchange huge = proxy_get(server, kImages + "/R/t/R-100101.jpg");
  EXPECT_TRUE(huge.complete());
  EXPECT_EQ(huge.body.size(), 5u * 1024 * 1024);
  EXPECT_EQ(huge.body.substr(0, cover.size()), cover);
  EXPECT_LT(proxy_get(server, kRelease).body.size(), 100000u);  // pages are not padded
}

TEST(StandinFaults, EmptyBodyAnswersWithNoBytes) {
  StandinServer server({"--fault", "empty-body"});
  const HttpExchange empty = proxy_get(server, kRelease);
  EXPECT_EQ(empty.status, 200);
  EXPECT_EQ(empty.header("Content-Length"), "0");
  EXPECT_TRUE(empty.body.empty());
}

TEST(StandinFaults, FaultPathLimitsTheFaultToItsPrefix) {
  StandinServer server({"--fault", "status-500", "--fault-path", "/R/", "--fault-size", "10"});
  EXPECT_EQ(proxy_get(server, kRelease).status, 200);
  EXPECT_EQ(proxy_get(server, kDb + "/search?type=all&q=Harbour").status, 200);
  EXPECT_EQ(proxy_get(server, kImages + "/R/t/R-100101.jpg").status, 500);
}

TEST(StandinServerLife, StopsCleanlyOnSigtermEvenWithAStalledConnection) {
  StandinServer server({"--fault", "stall"});
  HttpExchange stalled;
  std::thread waiting([&] { stalled = proxy_get(server, kRelease); });
  await_log(server, 1);
  EXPECT_EQ(server.stop(), 0);
  waiting.join();
  EXPECT_FALSE(stalled.timed_out);
  EXPECT_FALSE(exchange(server.port(), get_request(kRelease)).connected);
}

}  // namespace
