#pragma once
// Where the web database lives. The demo and the tests reach a stand-in
// through an HTTP proxy; the program itself always names these hosts.
constexpr const char* kDatabaseBase = "http://www.discogs.com";
constexpr const char* kImageBase = "http://images.discogs.com";
constexpr const char* kUserAgent = "KAVORN(0.9/;p)";
constexpr const char* kSearchPath = "/search?type=all&q=";
