#include <algorithm>

#include "platform/codepage.h"
#include "platform/trace.h"
#include "web/api/api_json.h"
#include "web/api/api_readers.h"
#include "web/site/release_page.h"

namespace {

using api_json::Element;

std::vector<ApiCredit> read_credits(Element owner) {
  std::vector<ApiCredit> credits;
  simdjson::dom::array artists;
  if (!api_json::array_field(owner, "artists", artists)) return credits;
  for (const Element artist : artists) {
    credits.push_back({api_json::text(artist, "name"), api_json::text(artist, "anv"),
                       api_json::text(artist, "join")});
  }
  return credits;
}

// "2005-03-00" names March 2005, "2019-00-00" just the year; without a
// date the year alone.
std::string release_date(Element root) {
  std::string date = api_json::text(root, "released");
  while (date.size() >= 3 && date.compare(date.size() - 3, 3, "-00") == 0)
    date.resize(date.size() - 3);
  if (!date.empty()) return date;
  const int64_t year = api_json::integer(root, "year", 0);
  return year > 0 ? std::to_string(year) : "";
}

// The texts of a list joined by ',' with every blank removed, as the page
// reader gives genre and style.
std::string joined_without_blanks(Element root, const char* key) {
  std::string joined;
  simdjson::dom::array items;
  if (!api_json::array_field(root, key, items)) return joined;
  for (const Element item : items) {
    std::string_view raw;
    if (item.get(raw)) continue;
    std::string name = api_json::program_text(raw);
    name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
    if (name.empty()) continue;
    if (!joined.empty()) joined += ',';
    joined += name;
  }
  return joined;
}

void read_first_label(Element root, Release& release) {
  simdjson::dom::array labels;
  if (!api_json::array_field(root, "labels", labels) || labels.size() == 0) return;
  const Element first = labels.at(0);
  release.label = api_json::text(first, "name");
  release.catalog_number = api_json::text(first, "catno");
  if (platform::ascii_lower(release.catalog_number) == "none") release.catalog_number.clear();
}

// The first image flagged primary, else the first image.
std::string picture_address(Element root) {
  simdjson::dom::array images;
  if (!api_json::array_field(root, "images", images)) return "";
  std::string first;
  for (const Element image : images) {
    const std::string uri = api_json::text(image, "uri");
    if (uri.empty()) continue;
    if (api_json::raw_text(image, "type") == "primary") return uri;
    if (first.empty()) first = uri;
  }
  return first;
}

void add_track(Element track, Release& release) {
  std::string name = api_json::text(track, "title");
  cut_credit_brackets(name);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  const std::string own_artist = join_credits(read_credits(track));
  release.track_numbers.push_back(api_json::text(track, "position"));
  release.track_names.push_back(name);
  release.track_artists.push_back(own_artist.empty() ? release.artist : own_artist);
  platform::trace("trackname:%s\n", name.c_str());
  platform::trace("trackartist:%s\n", release.track_artists.back().c_str());
}

// Headings only structure the list; an index stands for its sub-tracks
// (or, without any, is one track itself).
void read_tracks(Element root, Release& release) {
  simdjson::dom::array tracklist;
  if (!api_json::array_field(root, "tracklist", tracklist)) return;
  for (const Element entry : tracklist) {
    const std::string type = api_json::raw_text(entry, "type_");
    if (type == "heading") continue;
    simdjson::dom::array sub_tracks;
    if (type == "index" && api_json::array_field(entry, "sub_tracks", sub_tracks) &&
        sub_tracks.size() > 0) {
      for (const Element sub_track : sub_tracks) add_track(sub_track, release);
    } else {
      add_track(entry, release);
    }
  }
}

}  // namespace

std::string join_credits(const std::vector<ApiCredit>& credits) {
  std::string joined;
  std::string pending_join;
  for (const ApiCredit& credit : credits) {
    std::string name = credit.anv.empty() ? credit.name : credit.anv;
    if (!name.empty() && name.back() == '*') name.pop_back();
    while (!name.empty() && name.back() == ' ') name.pop_back();
    name = display_form(name);
    if (name.empty()) continue;
    if (!joined.empty()) {
      if (pending_join.empty()) {
        joined += " and ";
      } else if (pending_join == ",") {
        joined += ", ";
      } else {
        joined += " " + pending_join + " ";
      }
    }
    joined += name;
    pending_join = credit.join;
  }
  return joined;
}

std::string display_form(const std::string& name) {
  // A numbered suffix " (2)" stays behind the turned name.
  size_t end = name.size();
  if (end > 3 && name.back() == ')') {
    const size_t open = name.rfind(" (");
    const bool digits = open != std::string::npos && open + 3 < end &&
                        std::all_of(name.begin() + static_cast<std::ptrdiff_t>(open + 2),
                                    name.end() - 1, [](char c) { return c >= '0' && c <= '9'; });
    if (digits) end = open;
  }
  for (const std::string article : {"The", "A", "An"}) {
    const std::string tail = ", " + article;
    if (end <= tail.size() || name.compare(end - tail.size(), tail.size(), tail) != 0) continue;
    const std::string base = name.substr(0, end - tail.size());
    if (base.find_first_not_of(' ') == std::string::npos) continue;
    return article + " " + base + name.substr(end);
  }
  return name;
}

bool read_api_release(const std::string& json, Release& release) {
  simdjson::dom::parser parser;
  Element root;
  if (!api_json::parse(parser, json, root) || !root.is_object()) return false;
  release.artist = join_credits(read_credits(root));
  release.title = api_json::text(root, "title");
  read_first_label(root, release);
  release.release_date = release_date(root);
  release.genre = joined_without_blanks(root, "genres");
  release.style = joined_without_blanks(root, "styles");
  release.picture_url = picture_address(root);
  platform::trace("artist: '%s'\n", release.artist.c_str());
  platform::trace("title : '%s'\n", release.title.c_str());
  read_tracks(root, release);
  return true;
}

std::string read_api_master(const std::string& json) {
  simdjson::dom::parser parser;
  Element root;
  if (!api_json::parse(parser, json, root)) return "";
  return api_json::id_text(root, "main_release");
}
