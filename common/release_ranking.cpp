#include "common/release_ranking.h"

#include <algorithm>
#include <set>
#include <tuple>

#include "common/similarity.h"
#include "common/text.h"
#include "model/local_track.h"
#include "platform/trace.h"

namespace {

// Letters of Windows-1252 beyond ASCII, and the lead byte of the escape
// that carries a letter the code page lacks (its hex digits follow), so
// that "Östermalm" or a Japanese name is a word and not a gap.
bool is_word_byte(unsigned char c) {
  if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  switch (c) {
    case 0x81:
    case 0x83:
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
    case 0xAA:
    case 0xB5:
    case 0xBA:
      return true;
    default:
      return c >= 0xC0 && c != 0xD7 && c != 0xF7;
  }
}

// Lower case for ASCII and for the code page's own capitals.
char folded(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
    return static_cast<char>(c + 0x20);
  if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<char>(c + 0x10);
  if (c == 0x9F) return static_cast<char>(0xFF);
  return static_cast<char>(c);
}

std::vector<std::string> words_of(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : text) {
    if (is_word_byte(static_cast<unsigned char>(c))) {
      word += folded(static_cast<unsigned char>(c));
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

}  // namespace

std::string build_release_keywords(const std::string& folder_name,
                                   const std::vector<LocalTrack>& local_tracks) {
  std::string keywords = folder_name;
  for (const LocalTrack& track : local_tracks) {
    keywords += " " + track.artist + " " + track.title + " " + track.album + " " + track.label +
                " " + track.catalog_number + " " + track.track_number + " " + track.release_date +
                " " + track.genre + " " + track.style + " " + track.comment;
  }
  platform::trace("release keywords search list: %s\n", keywords.c_str());
  return keywords;
}

int32_t preferred_release(const std::vector<int32_t>& scores,
                          const std::vector<ReleaseEntry>& entries, const std::string& keywords) {
  const size_t count = std::min(scores.size(), entries.size());
  if (count == 0) return -1;
  const std::vector<std::string> listed = words_of(keywords);
  const std::set<std::string> known(listed.begin(), listed.end());
  const int32_t best = *std::max_element(scores.begin(), scores.begin() + count);
  // Smaller is better: the year missing from the keywords, the title words
  // they lack, the place in the list.
  auto rank = [&](size_t i) {
    const bool year_named = !entries[i].year.empty() && known.count(entries[i].year) > 0;
    size_t unknown_words = 0;
    for (const std::string& word : words_of(entries[i].title))
      unknown_words += known.count(word) == 0;
    return std::make_tuple(!year_named, unknown_words, i);
  };
  size_t chosen = count;
  for (size_t i = 0; i < count; ++i) {
    if (scores[i] == best && (chosen == count || rank(i) < rank(chosen))) chosen = i;
  }
  return static_cast<int32_t>(chosen);
}

int32_t rank_releases(const std::string& keywords, const std::vector<ReleaseEntry>& entries) {
  // Title words are compared in lower case, so the keywords must be too, or
  // every capitalised tag and folder name would count for nothing.
  std::string lowered = keywords;
  to_lower(lowered);
  std::vector<int32_t> scores(entries.size(), 0);
  for (size_t i = 0; i < entries.size(); ++i) {
    scores[i] = word_overlap_score(lowered, entries[i].title);
    platform::trace("matches for %s:%d\n", entries[i].title.c_str(), scores[i]);
  }
  return preferred_release(scores, entries, keywords);
}
