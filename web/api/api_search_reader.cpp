#include <algorithm>

#include "web/api/api_json.h"
#include "web/api/api_readers.h"

namespace {

bool known(const std::vector<ApiSearchHit>& hits, const ApiSearchHit& hit) {
  return std::any_of(hits.begin(), hits.end(), [&hit](const ApiSearchHit& other) {
    return other.is_label == hit.is_label && other.id == hit.id;
  });
}

}  // namespace

bool read_api_search(const std::string& json, std::vector<ApiSearchHit>& hits) {
  simdjson::dom::parser parser;
  simdjson::dom::array results;
  if (!api_json::search_results(parser, json, results)) return false;
  for (const api_json::Element result : results) {
    const std::string type = api_json::raw_text(result, "type");
    if (type != "artist" && type != "label") continue;
    ApiSearchHit hit;
    hit.is_label = type == "label";
    hit.id = api_json::id_text(result, "id");
    hit.name = display_form(api_json::text(result, "title"));
    if (hit.id.empty() || hit.name.empty() || known(hits, hit)) continue;
    if (hit.is_label) {
      hits.push_back(hit);
    } else {
      const auto first_label =
          std::find_if(hits.begin(), hits.end(), [](const ApiSearchHit& h) { return h.is_label; });
      hits.insert(first_label, hit);
    }
  }
  return true;
}
