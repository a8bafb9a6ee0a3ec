#pragma once
// Database API documents of realistic shape and size for the benchmarks:
// a release of about 300 KB (a long tracklist with per-track artists and
// credits, images, notes) and a discography page set of 1000 entries.
#include <string>

namespace bench_documents {

inline std::string artist_object(const std::string& name, const std::string& anv,
                                 const std::string& join) {
  return "{\"name\": \"" + name + "\", \"anv\": \"" + anv + "\", \"join\": \"" + join +
         "\", \"role\": \"\", \"tracks\": \"\", \"id\": 72872, "
         "\"resource_url\": \"https://api.discogs.com/artists/72872\"}";
}

inline std::string track_object(int n) {
  const std::string number = std::to_string(n);
  return "{\"position\": \"A" + number + "\", \"type_\": \"track\", \"title\": \"Night Ferry " +
         number + " (Remix: DJ Caf\\u00e9)\", \"duration\": \"4:01\", \"artists\": [" +
         artist_object("Oskar Dunn (2)", "O. Dunn", "Feat.") + ", " +
         artist_object("\\u4e45\\u9060\\u30df\\u30ca\\u30c8", "", "") + "], \"extraartists\": [" +
         artist_object("Stock, Aitken & Waterman", "Stock / Aitken / Waterman", "") + "]}";
}

// A release document of at least `size` bytes with `tracks` tracks.
inline std::string release_document(size_t size, int tracks) {
  std::string doc =
      "{\"id\": 249504, \"title\": \"First Light\", \"year\": 2005, \"released\": "
      "\"2005-03-00\", \"country\": \"UK\", \"artists\": [" +
      artist_object("Mira Vell", "", ",") + ", " + artist_object("Oskar Dunn (2)", "O. Dunn*", "") +
      "], \"labels\": [{\"name\": \"Quiet Harbour\", \"catno\": \"QH 001\", \"entity_type\": "
      "\"1\", \"id\": 895}], \"genres\": [\"Electronic\", \"Pop\"], \"styles\": [\"Synth-pop\", "
      "\"Drum n Bass\"], \"images\": [{\"type\": \"secondary\", \"uri\": "
      "\"https://i.discogs.com/a.jpeg\"}, {\"type\": \"primary\", \"uri\": "
      "\"https://i.discogs.com/b.jpeg\", \"width\": 600, \"height\": 600}], \"tracklist\": [";
  doc += "{\"position\": \"\", \"type_\": \"heading\", \"title\": \"Side A\"}";
  for (int n = 1; n <= tracks; ++n) doc += ", " + track_object(n);
  doc += "], \"notes\": \"";
  while (doc.size() + 200 < size) doc += "Recorded live at the harbour, mixed at night. ";
  doc += "\", \"data_quality\": \"Correct\"}";
  return doc;
}

// Page `page` (from 1) of `pages`, each of `per_page` artist discography
// entries; every tenth a master, every seventh not the artist's own.
inline std::string discography_page(int page, int pages, int per_page) {
  std::string doc =
      "{\"pagination\": {\"page\": " + std::to_string(page) +
      ", \"pages\": " + std::to_string(pages) + ", \"per_page\": " + std::to_string(per_page) +
      ", \"items\": " + std::to_string(pages * per_page) + ", \"urls\": {}}, \"releases\": [";
  for (int i = 0; i < per_page; ++i) {
    const int id = page * 1000 + i;
    if (i > 0) doc += ", ";
    if (i % 10 == 0) {
      doc += "{\"id\": " + std::to_string(id) +
             ", \"type\": \"master\", \"main_release\": " + std::to_string(id + 500000) +
             ", \"title\": \"Collected " + std::to_string(id) +
             "\", \"artist\": \"Mira Vell\", \"role\": \"Main\", \"year\": 2018}";
    } else {
      doc += "{\"id\": " + std::to_string(id) +
             ", \"type\": \"release\", \"status\": \"Accepted\", \"format\": \"CD, Album\", "
             "\"label\": \"Quiet Harbour\", \"title\": \"Release " +
             std::to_string(id) + "\", \"role\": \"" + (i % 7 == 0 ? "TrackAppearance" : "Main") +
             "\", \"artist\": \"Mira Vell\", \"year\": 2001, \"thumb\": \"\", \"resource_url\": "
             "\"https://api.discogs.com/releases/" +
             std::to_string(id) + "\"}";
    }
  }
  doc += "]}";
  return doc;
}

}  // namespace bench_documents
