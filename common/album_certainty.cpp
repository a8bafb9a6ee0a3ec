#include "common/album_certainty.h"

#include <algorithm>
#include <map>

#include "common/dm_match.h"
#include "common/similarity.h"
#include "common/text.h"

namespace {

// The plain letters of Windows-1252's accented ones from 0xC0 on; "" where
// the byte is no letter.
const char* const kUnaccented[64] = {
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y"};

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string folded_letter(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || is_digit(static_cast<char>(c))) return std::string(1, c);
  if (c >= 'A' && c <= 'Z') return std::string(1, static_cast<char>(c - 'A' + 'a'));
  if (c >= 0xC0) return kUnaccented[c - 0xC0];
  if (c == 0x8A || c == 0x9A) return "s";
  if (c == 0x8E || c == 0x9E) return "z";
  if (c == 0x9F) return "y";
  return "";
}

// The folded text holds `words` (folded too) as whole words.
bool holds(const std::string& folded, const std::string& words) {
  return words.size() > 2 && folded.find(words) != std::string::npos;
}

// A leading article is often left out of folder names, or moved behind.
std::string without_article(const std::string& folded) {
  for (const char* article : {" the ", " a ", " an "}) {
    const std::string a = article;
    if (folded.compare(0, a.size(), a) == 0 && folded.size() > a.size()) {
      return folded.substr(a.size() - 1);
    }
  }
  return folded;
}

bool named_in(const std::vector<std::string>& names, const std::string& text) {
  const std::string wanted = without_article(folded_words(text));
  return std::any_of(names.begin(), names.end(),
                     [&wanted](const std::string& name) { return holds(name, wanted); });
}

// Letters and digits only, folded: "HL_007" and "hl 007" are one number.
std::string catalog_key(const std::string& text) {
  std::string key;
  for (const char c : folded_words(text)) {
    if (c != ' ') key += c;
  }
  return key;
}

bool has_digit(const std::string& text) { return std::any_of(text.begin(), text.end(), is_digit); }

bool catalog_named(const AlbumClues& clues, const std::string& catalog_number) {
  const std::string key = catalog_key(catalog_number);
  return key.size() >= 3 && has_digit(key) &&
         std::find(clues.catalog.begin(), clues.catalog.end(), key) != clues.catalog.end();
}

bool year_named(const AlbumClues& clues, const std::string& year) {
  return !year.empty() &&
         std::find(clues.years.begin(), clues.years.end(), year) != clues.years.end();
}

std::string without_numbered_suffixes(std::string name) {
  for (size_t open = name.find('('); open != std::string::npos; open = name.find('(', open)) {
    size_t close = open + 1;
    while (close < name.size() && is_digit(name[close])) ++close;
    if (close > open + 1 && close < name.size() && name[close] == ')') {
      name.erase(open, close - open + 1);
    } else {
      ++open;
    }
  }
  name.erase(std::remove(name.begin(), name.end(), '*'), name.end());
  return name;
}

// The names a credit joins: "A & B", "A, B", "A Feat. B", "A vs B".
std::vector<std::string> credited_names(const std::string& credit) {
  std::vector<std::string> names;
  std::string current;
  const std::string folded = folded_words(without_numbered_suffixes(credit));
  std::string raw = without_numbered_suffixes(credit);
  for (char& c : raw) {
    if (c == '&' || c == ',' || c == '/') c = '|';
  }
  size_t start = 0;
  while (start <= raw.size()) {
    const size_t end = std::min(raw.find('|', start), raw.size());
    std::string part = folded_words(raw.substr(start, end - start));
    for (const char* join : {" feat ", " ft ", " featuring ", " and ", " vs ", " with ", " meets ",
                             " presents ", " x "}) {
      const size_t at = part.find(join);
      if (at != std::string::npos) {
        names.push_back(part.substr(at + std::string(join).size() - 1));
        part = part.substr(0, at + 1);
      }
    }
    if (part.size() > 2) names.push_back(part);
    start = end + 1;
  }
  if (names.empty() && folded.size() > 2) names.push_back(folded);
  return names;
}

bool is_compilation(const std::string& artist) {
  return folded_words(artist) == " various " || folded_words(artist) == " various artists ";
}

// Any of the credited names is in the folder name or the tags.
bool artist_named(const AlbumClues& clues, const std::string& credit) {
  for (const std::string& name : credited_names(credit)) {
    const std::string wanted = without_article(name);
    // "Persuader, The" is one name, not two.
    if (wanted == " the " || wanted == " a " || wanted == " an ") continue;
    if (std::any_of(clues.names.begin(), clues.names.end(),
                    [&wanted](const std::string& n) { return holds(n, wanted); })) {
      return true;
    }
  }
  return false;
}

// The text most of the non-empty ones agree on; "" when none has more than
// half of them, as the track artists of a compilation.
std::string agreed(const std::vector<std::string>& texts) {
  std::map<std::string, int> counts;
  std::string best;
  int most = 0, given = 0;
  for (const std::string& text : texts) {
    if (text.empty()) continue;
    ++given;
    const int count = ++counts[text];
    if (count > most) {
      most = count;
      best = text;
    }
  }
  return 2 * most > given ? best : "";
}

void trim(std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  const size_t last = text.find_last_not_of(' ');
  text = first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

bool only_digits(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), is_digit);
}

// "Artist - Title [CAT 1] (2005)": the dash-separated pieces outside
// brackets, and the bracketed ones.
void split_folder_name(const std::string& name, std::vector<std::string>& pieces,
                       std::vector<std::string>& bracketed) {
  std::string outside, inside;
  int depth = 0;
  for (char c : name) {
    if (c == '_') c = ' ';
    if (static_cast<unsigned char>(c) == 0x96) c = '-';  // an en dash
    if (c == '[' || c == '(' || c == '{') {
      if (depth++ == 0) inside.clear();
      if (depth == 1) outside += ' ';
      continue;
    }
    if ((c == ']' || c == ')' || c == '}') && depth > 0) {
      if (--depth == 0) bracketed.push_back(inside);
      continue;
    }
    (depth > 0 ? inside : outside) += c;
  }
  // A dash with a blank beside it separates; one inside a word is the word's.
  size_t start = 0;
  for (size_t i = 0; i <= outside.size(); ++i) {
    const bool separator =
        i == outside.size() ||
        (outside[i] == '-' &&
         ((i > 0 && outside[i - 1] == ' ') || (i + 1 < outside.size() && outside[i + 1] == ' ')));
    if (!separator) continue;
    std::string piece = outside.substr(start, i - start);
    trim(piece);
    if (!piece.empty() && !only_digits(piece)) pieces.push_back(piece);
    start = i + 1;
  }
}

void add_years(const std::string& text, std::vector<std::string>& years) {
  size_t run = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && is_digit(text[i])) {
      ++run;
      continue;
    }
    if (run == 4) {
      const std::string year = text.substr(i - 4, 4);
      if ((year.compare(0, 2, "19") == 0 || year.compare(0, 2, "20") == 0) &&
          std::find(years.begin(), years.end(), year) == years.end()) {
        years.push_back(year);
      }
    }
    run = 0;
  }
}

// The words of a folded text.
std::vector<std::string> words_of(const std::string& folded) {
  std::vector<std::string> words;
  for (size_t start = 1; start < folded.size();) {
    const size_t end = folded.find(' ', start);
    if (end == std::string::npos) break;
    words.push_back(folded.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

// How well a file's own words (its name and title tag) name a track: the
// letters of the title's words found among them as whole words, less those
// missing, so that "Night Ferry" names "Night Ferry" better than "Night
// Ferry (Reprise)". Whole words: "Last" is not in "Ballast".
int32_t evidence_for(const std::string& evidence, const std::string& title) {
  int32_t score = 0;
  std::vector<std::string> seen;
  for (const std::string& word : words_of(folded_words(title))) {
    if (std::find(seen.begin(), seen.end(), word) != seen.end()) continue;
    seen.push_back(word);
    const auto letters = static_cast<int32_t>(word.size());
    score += evidence.find(" " + word + " ") != std::string::npos ? letters : -letters;
  }
  return score;
}

// Row f: file f's evidence for every track. What every file shares (the
// album's title in every name, say) tells the files apart no better than
// nothing, so each track's lowest score over the files is taken off.
std::vector<std::vector<int32_t>> evidence_scores(const AlbumFacts& album, const Release& release) {
  std::vector<std::vector<int32_t>> scores;
  for (size_t f = 0; f < album.files.size(); ++f) {
    std::string name = album.files[f];
    if (name.size() > 4) name.resize(name.size() - 4);  // ".mp3"
    const std::string title = f < album.tags.size() ? album.tags[f].title : std::string();
    const std::string evidence = folded_words(name + " " + title);
    std::vector<int32_t> row;
    for (const std::string& track : release.track_names)
      row.push_back(evidence_for(evidence, track));
    scores.push_back(row);
  }
  if (scores.size() < 2) return scores;
  for (size_t t = 0; t < scores[0].size(); ++t) {
    // Only what all share counts off; a word all lack says nothing.
    int32_t lowest = scores[0][t];
    for (const std::vector<int32_t>& row : scores) lowest = std::min(lowest, row[t]);
    for (std::vector<int32_t>& row : scores) row[t] -= std::max(lowest, 0);
  }
  return scores;
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string track_label(const Release& release, int32_t track) {
  return "track " + std::to_string(track + 1) + " " +
         quoted(release.track_names[static_cast<size_t>(track)]);
}

// A file's own track must stand out: clearly ahead of every other track,
// on evidence that is more than a track number.
std::string unclear_file(const AlbumFacts& album, const Release& release,
                         const TrackAssignment& assignment) {
  const std::vector<std::vector<int32_t>> scores = evidence_scores(album, release);
  for (size_t f = 0; f < scores.size(); ++f) {
    const int32_t own = assignment.track_of_file[f];
    const int32_t mine = scores[f][static_cast<size_t>(own)];
    // The match page, which also reads the album and artist tags, must
    // have chosen what this evidence points at, clearly.
    int32_t next = 0;
    int32_t next_track = -1;
    for (size_t t = 0; t < scores[f].size(); ++t) {
      if (static_cast<int32_t>(t) != own && (next_track < 0 || scores[f][t] > next)) {
        next = scores[f][t];
        next_track = static_cast<int32_t>(t);
      }
    }
    // A track number alone never makes it; a title's words must, three
    // letters ahead of any other track's.
    if (mine < 3 || mine - next < 3) {
      return quoted(album.files[f]) + " fits " + track_label(release, own) +
             (next_track < 0 ? std::string(" too weakly")
                             : " no better than " + track_label(release, next_track));
    }
  }
  return "";
}

std::string release_name(const FoundRelease& found) {
  std::string name = found.id;
  std::string details = found.catalog_number;
  if (!found.year.empty()) details += (details.empty() ? "" : ", ") + found.year;
  return details.empty() ? name : name + " (" + details + ")";
}

bool same_tracks(const Release& a, const Release& b) { return a.track_names == b.track_names; }

}  // namespace

std::string folded_words(const std::string& text) {
  std::string out = " ";
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    // The code page's escapes of foreign letters and raw bytes are words
    // of their own, compared as they are.
    if (c == 0x81 || c == 0x8D) {
      const size_t end = c == 0x81 ? text.find(';', i) : i + 2;
      const size_t last =
          std::min(end == std::string::npos ? text.size() - 1 : end, text.size() - 1);
      if (out.back() != ' ') out += ' ';
      out += text.substr(i, last - i + 1) + " ";
      i = last;
      continue;
    }
    const std::string letter = folded_letter(c);
    if (letter.empty()) {
      if (out.back() != ' ') out += ' ';
    } else {
      out += letter;
    }
  }
  if (out.back() != ' ') out += ' ';
  return out;
}

AlbumClues album_clues(const AlbumFacts& album) {
  AlbumClues clues;
  std::vector<std::string> pieces, bracketed;
  split_folder_name(album.folder_name, pieces, bracketed);
  std::vector<std::string> artists, titles;
  clues.names.push_back(folded_words(album.folder_name));
  for (const LocalTrack& track : album.tags) {
    artists.push_back(track.artist);
    titles.push_back(track.album);
    for (const std::string* name : {&track.artist, &track.album}) {
      const std::string folded = folded_words(*name);
      if (folded.size() > 2 &&
          std::find(clues.names.begin(), clues.names.end(), folded) == clues.names.end()) {
        clues.names.push_back(folded);
      }
    }
    add_years(track.release_date, clues.years);
  }
  clues.artist = agreed(artists);
  clues.title = agreed(titles);
  if (clues.artist.empty() && pieces.size() >= 2) clues.artist = pieces[0];
  if (clues.title.empty() && !pieces.empty())
    clues.title = pieces.size() >= 2 ? pieces[1] : pieces[0];
  add_years(album.folder_name, clues.years);
  for (const std::string& piece : bracketed) clues.catalog.push_back(catalog_key(piece));
  // Unbracketed numbers too, as one word or two ("GR 021R").
  std::vector<std::string> words;
  const std::string folded = folded_words(album.folder_name);
  for (size_t start = 1; start < folded.size();) {
    const size_t end = folded.find(' ', start);
    words.push_back(folded.substr(start, end - start));
    start = end + 1;
  }
  for (size_t i = 0; i < words.size(); ++i) {
    clues.catalog.push_back(words[i]);
    if (i + 1 < words.size()) clues.catalog.push_back(words[i] + words[i + 1]);
  }
  return clues;
}

std::vector<size_t> rank_found_releases(const AlbumClues& clues,
                                        const std::vector<FoundRelease>& found) {
  struct Ranked {
    size_t index;
    std::vector<int> key;
  };
  std::vector<Ranked> ranked;
  for (size_t i = 0; i < found.size(); ++i) {
    const FoundRelease& r = found[i];
    if (!named_in(clues.names, r.title)) continue;
    const bool compilation = is_compilation(r.artist);
    if (!compilation && !artist_named(clues, r.artist)) continue;
    const std::string title = folded_words(r.title);
    const int title_words = static_cast<int>(std::count(title.begin(), title.end(), ' '));
    ranked.push_back({i,
                      {title_words, catalog_named(clues, r.catalog_number) ? 1 : 0,
                       year_named(clues, r.year) ? 1 : 0}});
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const Ranked& a, const Ranked& b) { return a.key > b.key; });
  std::vector<size_t> order;
  for (const Ranked& r : ranked) order.push_back(r.index);
  return order;
}

std::string doubt_about(const AlbumFacts& album, const AlbumClues& clues, const ReadRelease& read,
                        TrackAssignment& assignment) {
  const Release& release = read.release;
  const size_t files = album.files.size();
  const size_t tracks = release.track_names.size();
  if (files != tracks) {
    return counted(files, "file", "files") + " but " + counted(tracks, "track", "tracks");
  }
  if (!named_in(clues.names, release.title)) {
    return "the folder name and tags do not name its title " + quoted(release.title);
  }
  if (!is_compilation(release.artist) && !is_compilation(read.found.artist) &&
      !artist_named(clues, release.artist) && !artist_named(clues, read.found.artist)) {
    return "the folder name and tags do not name its artist " + quoted(release.artist);
  }
  assignment = match_files(AlbumFiles{album.files, album.tags}, release);
  std::vector<std::string> unmatched;
  std::vector<int32_t> owner(tracks, -1);
  for (size_t f = 0; f < files; ++f) {
    const int32_t track = assignment.track_of_file[f];
    if (track < 0 || static_cast<size_t>(track) >= tracks) {
      unmatched.push_back(quoted(album.files[f]));
      continue;
    }
    if (owner[static_cast<size_t>(track)] >= 0) {
      return quoted(album.files[static_cast<size_t>(owner[static_cast<size_t>(track)])]) + " and " +
             quoted(album.files[f]) + " match the same " + track_label(release, track);
    }
    owner[static_cast<size_t>(track)] = static_cast<int32_t>(f);
  }
  if (!unmatched.empty()) {
    std::string list;
    for (const std::string& name : unmatched) list += (list.empty() ? "" : ", ") + name;
    return "files that match no track: " + list;
  }
  return unclear_file(album, release, assignment);
}

bool could_compete(const AlbumClues& clues, const FoundRelease& certain,
                   const FoundRelease& other) {
  if (catalog_key(other.catalog_number) == catalog_key(certain.catalog_number) &&
      other.year == certain.year && folded_words(other.title) == folded_words(certain.title)) {
    return false;  // the same pressing listed twice
  }
  if (catalog_named(clues, certain.catalog_number) && !catalog_named(clues, other.catalog_number)) {
    return false;
  }
  if (year_named(clues, certain.year) && !year_named(clues, other.year) &&
      !catalog_named(clues, other.catalog_number)) {
    return false;
  }
  return true;
}

AlbumVerdict judge_album(const AlbumFacts& album, const std::vector<ReadRelease>& read) {
  AlbumVerdict verdict;
  if (read.empty()) {
    verdict.reason = "no release found";
    return verdict;
  }
  const AlbumClues clues = album_clues(album);
  std::vector<size_t> certain;
  std::vector<TrackAssignment> assignments(read.size());
  for (size_t i = 0; i < read.size(); ++i) {
    const std::string doubt = doubt_about(album, clues, read[i], assignments[i]);
    if (doubt.empty()) {
      certain.push_back(i);
    } else if (verdict.reason.empty()) {
      verdict.reason = doubt + " (release " + read[i].found.id + ")";
    }
  }
  if (certain.empty()) return verdict;
  // A catalogue number, then a year, the folder name or tags give decides
  // between pressings.
  for (auto named :
       {+[](const AlbumClues&c, const FoundRelease&r) {
          return catalog_named(c, r.catalog_number);
        },
        +[](const AlbumClues&c, const FoundRelease&r) { return year_named(c, r.year); }}) {
    std::vector<size_t> kept;
    for (const size_t i : certain) {
      if (named(clues, read[i].found)) kept.push_back(i);
    }
    if (!kept.empty()) certain = kept;
  }
  const ReadRelease& first = read[certain[0]];
  for (const size_t i : certain) {
    if (!same_tracks(read[i].release, first.release) ||
        catalog_key(read[i].found.catalog_number) != catalog_key(first.found.catalog_number)) {
      verdict.reason =
          "two releases fit: " + release_name(first.found) + " and " + release_name(read[i].found);
      return verdict;
    }
  }
  verdict.chosen = static_cast<int32_t>(certain[0]);
  verdict.reason.clear();
  verdict.assignment = assignments[certain[0]];
  return verdict;
}
