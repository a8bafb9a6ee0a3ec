#include "web/api/api_release_hits.h"

#include <algorithm>

#include "web/api/api_json.h"

namespace {

std::vector<std::string> texts(api_json::Element object, const char* key) {
  std::vector<std::string> values;
  simdjson::dom::array array;
  if (!api_json::array_field(object, key, array)) return values;
  for (const api_json::Element item : array) {
    std::string_view utf8;
    if (item.get(utf8)) continue;
    const std::string value = api_json::program_text(utf8);
    if (!value.empty()) values.push_back(value);
  }
  return values;
}

bool known(const std::vector<ReleaseHit>& hits, const std::string& id) {
  return std::any_of(hits.begin(), hits.end(),
                     [&id](const ReleaseHit& hit) { return hit.id == id; });
}

}  // namespace

bool read_api_release_hits(const std::string& json, std::vector<ReleaseHit>& hits) {
  simdjson::dom::parser parser;
  simdjson::dom::array results;
  if (!api_json::search_results(parser, json, results)) return false;
  for (const api_json::Element result : results) {
    if (api_json::raw_text(result, "type") != "release") continue;
    ReleaseHit hit;
    hit.id = api_json::id_text(result, "id");
    if (hit.id.empty() || known(hits, hit.id)) continue;
    hit.title = api_json::text(result, "title");
    // The year comes as a string, and from some data as a number.
    hit.year = api_json::id_text(result, "year");
    hit.country = api_json::text(result, "country");
    hit.catalog_number = api_json::text(result, "catno");
    hit.labels = texts(result, "label");
    hit.formats = texts(result, "format");
    hits.push_back(hit);
  }
  return true;
}
