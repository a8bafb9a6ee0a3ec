#include "platform/trace.h"
#include "web/api/api_json.h"
#include "web/api/api_readers.h"

namespace {

// An entry of an artist's list: title, format and label, as the site's
// artist page gave them.
ReleaseEntry artist_entry(api_json::Element item) {
  ReleaseEntry entry;
  entry.title = api_json::text(item, "title");
  entry.format = api_json::text(item, "format");
  entry.label = api_json::text(item, "label");
  return entry;
}

// An entry of a label's list: artist, title and format.
ReleaseEntry label_entry(api_json::Element item) {
  ReleaseEntry entry;
  entry.artist = api_json::text(item, "artist");
  entry.title = api_json::text(item, "title");
  entry.format = api_json::text(item, "format");
  return entry;
}

// The release an entry stands for: a master's main release, else its own id.
std::string release_id(api_json::Element item) {
  if (api_json::raw_text(item, "type") == "master") return api_json::id_text(item, "main_release");
  return api_json::id_text(item, "id");
}

// The release year; "" where the list gives none (the database writes 0).
std::string year_text(api_json::Element item) {
  const int64_t year = api_json::integer(item, "year", 0);
  return year > 0 && year < 10000 ? std::to_string(year) : "";
}

int pagination_number(api_json::Element root, const char* key) {
  api_json::Element pagination;
  if (api_json::field(root, "pagination").get(pagination)) return 0;
  const int64_t value = api_json::integer(pagination, key, 0);
  return value > 0 && value < 1000000 ? static_cast<int>(value) : 0;
}

}  // namespace

bool read_api_discography(const std::string& json, bool is_label, ApiDiscographyPage& page) {
  simdjson::dom::parser parser;
  api_json::Element root;
  if (!api_json::parse(parser, json, root)) return false;
  simdjson::dom::array releases;
  if (!api_json::array_field(root, "releases", releases)) return false;
  page.page = pagination_number(root, "page");
  page.pages = pagination_number(root, "pages");
  for (const api_json::Element item : releases) {
    // Remixes, appearances and the like are not the artist's own releases.
    if (!is_label && api_json::raw_text(item, "role") != "Main") continue;
    const std::string id = release_id(item);
    if (id.empty()) continue;
    ReleaseEntry entry = is_label ? label_entry(item) : artist_entry(item);
    entry.year = year_text(item);
    // A master has no format or label of its own; its year tells it apart.
    if (entry.format.empty() && api_json::raw_text(item, "type") == "master")
      entry.format = entry.year;
    page.release_ids.push_back(id);
    page.entries.push_back(entry);
    platform::trace("detected release:%s\n", id.c_str());
  }
  return true;
}
