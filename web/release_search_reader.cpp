#include "web/release_search_reader.h"

#include "web/api_json.h"

bool read_api_release_results(const std::string& json, std::vector<FoundRelease>& found) {
  simdjson::dom::parser parser;
  api_json::Element root;
  if (!api_json::parse(parser, json, root)) return false;
  simdjson::dom::array results;
  if (!api_json::array_field(root, "results", results)) return false;
  for (const api_json::Element result : results) {
    if (api_json::raw_text(result, "type") != "release") continue;
    FoundRelease release;
    release.id = api_json::id_text(result, "id");
    const std::string title = api_json::text(result, "title");
    // Search results name a release "Artist - Title".
    const size_t dash = title.find(" - ");
    release.artist = dash == std::string::npos ? "" : title.substr(0, dash);
    release.title = dash == std::string::npos ? title : title.substr(dash + 3);
    release.year = api_json::text(result, "year");
    if (release.year.empty()) {
      const int64_t year = api_json::integer(result, "year", 0);
      if (year > 0) release.year = std::to_string(year);
    }
    release.catalog_number = api_json::text(result, "catno");
    // The database's word for no catalogue number.
    if (release.catalog_number == "none" || release.catalog_number == "None") {
      release.catalog_number.clear();
    }
    if (!release.id.empty() && !release.title.empty()) found.push_back(release);
  }
  return true;
}
