#include "common/dm_match.h"

#include <algorithm>
#include <limits>
#include <string>

#include "common/similarity.h"
#include "common/text.h"
#include "model/local_track.h"
#include "platform/trace.h"

namespace {

// Below every score a row can hold, -1 (a lost track) included.
constexpr int32_t kBelowEveryScore = -2147483646;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

int32_t capped_score(int64_t score) {
  return static_cast<int32_t>(std::min<int64_t>(score, std::numeric_limits<int32_t>::max()));
}

// The file's name and tags, lower-cased and cleaned, as every track is
// scored against it.
std::string local_match_text(const AlbumFiles& files, int file) {
  std::string text = files.names[static_cast<size_t>(file)];
  for (char c : {'-', '_', '[', ']', '(', ')'}) replace_char(text, c, ' ');
  const LocalTrack tags = static_cast<size_t>(file) < files.tags.size()
                              ? files.tags[static_cast<size_t>(file)]
                              : LocalTrack();
  text += " " + joined_tag_fields(tags);
  to_lower(text);
  clean_match_text(text);
  return text;
}

// Words every file of the release shares would match every track alike:
// the artist, the year and the extension go before scoring.
void strip_release_words(std::string& text, const Release& release) {
  std::string artist = release.artist;
  to_lower(artist);
  if (!artist.empty()) erase_all(text, artist, static_cast<int>(artist.size()));
  erase_all(text, std::to_string(year_from_date(release.release_date)), 4);
  erase_all(text, "mp3", 3);
}

// A track title as the scorer sees it: path and query characters and every
// byte outside ASCII are blanks, as they are on the cleaned local side.
std::string title_match_text(const std::string& name) {
  std::string text = name;
  for (char c : {'\\', '/', ':', '?'}) replace_char(text, c, ' ');
  for (char& c : text) {
    if (static_cast<unsigned char>(c) > 0x7F) c = ' ';
  }
  return text;
}

int32_t largest_entry(const std::vector<int32_t>& row) {
  const int32_t index = best_index(row);
  return index < 0 ? kBelowEveryScore : row[static_cast<size_t>(index)];
}

// Gives track t to the claimant with the highest score for it (the first
// on a tie); the others lose t and take their best remaining track.
void settle_claimants(int32_t track, const std::vector<int>& claimants,
                      TrackAssignment& assignment) {
  std::vector<int32_t> largest;
  for (int f : claimants)
    largest.push_back(largest_entry(assignment.scores[static_cast<size_t>(f)]));
  // Every claimant chose the track from its own row, so no row is empty
  // and best_index finds one; the guard only keeps stale state harmless.
  const int32_t first_best = best_index(largest);
  const int winner = claimants[first_best < 0 ? 0 : static_cast<size_t>(first_best)];
  for (int f : claimants) {
    std::vector<int32_t>& row = assignment.scores[static_cast<size_t>(f)];
    if (f != winner && static_cast<size_t>(track) < row.size())
      row[static_cast<size_t>(track)] = -1;
    assignment.track_of_file[static_cast<size_t>(f)] = best_index(row);
  }
}

}  // namespace

std::string joined_tag_fields(const LocalTrack& track) {
  return track.artist + " " + track.title + " " + track.album + " " + track.label + " " +
         track.catalog_number + " " + track.track_number + " " + track.release_date + " " +
         track.genre + " " + track.style + " " + track.comment;
}

TrackAssignment match_files(const AlbumFiles& files, const Release& release) {
  platform::trace("%s::%d", "main", 382);
  platform::trace("find matches..\n");
  TrackAssignment assignment;
  score_all_files(files, release, assignment);
  resolve_track_conflicts(release, assignment);
  return assignment;
}

namespace {

// What every file is scored against, worked out once per release rather than
// once for each file and track.
struct TrackTexts {
  std::vector<std::string> ordinals;  // "1 A1": position and track number
  std::vector<std::string> titles;    // the title as the scorer sees it
};

TrackTexts track_texts(const Release& release) {
  TrackTexts texts;
  const size_t tracks = release.track_names.size();
  texts.ordinals.reserve(tracks);
  texts.titles.reserve(tracks);
  for (size_t t = 0; t < tracks; ++t) {
    const std::string number =
        t < release.track_numbers.size() ? release.track_numbers[t] : std::string();
    texts.ordinals.push_back(std::to_string(t + 1) + " " + number);
    texts.titles.push_back(title_match_text(release.track_names[t]));
  }
  return texts;
}

void score_against(std::vector<int32_t>& row, const AlbumFiles& files, int file,
                   const Release& release, const TrackTexts& texts) {
  const size_t tracks = texts.titles.size();
  row.assign(tracks, 0);
  if (file < 0 || static_cast<size_t>(file) >= files.names.size()) return;

  std::string local = local_match_text(files, file);
  strip_release_words(local, release);
  for (size_t t = 0; t < tracks; ++t) {
    const int64_t title = word_overlap_score(local, texts.titles[t]);
    row[t] = capped_score(word_overlap_score(local, texts.ordinals[t]) + 3 * title);
  }
}

}  // namespace

void score_all_files(const AlbumFiles& files, const Release& release, TrackAssignment& assignment) {
  const size_t count = files.names.size();
  const size_t tracks = release.track_names.size();
  assignment.scores.resize(count);
  for (std::vector<int32_t>& row : assignment.scores) row.assign(tracks, 0);
  assignment.track_of_file.resize(count);
  const TrackTexts texts = track_texts(release);
  for (size_t f = 0; f < count; ++f) {
    score_against(assignment.scores[f], files, static_cast<int>(f), release, texts);
    assign_best_track(assignment.scores[f], static_cast<int>(f), assignment);
  }
}

void score_file_tracks(std::vector<int32_t>& row, const AlbumFiles& files, int file,
                       const Release& release) {
  score_against(row, files, file, release, track_texts(release));
}

int32_t best_index(const std::vector<int32_t>& list) {
  int32_t best = kBelowEveryScore;
  int32_t index = -1;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i] > best) {
      best = list[i];
      index = static_cast<int32_t>(i);
    }
  }
  return index;
}

void assign_best_track(const std::vector<int32_t>& row, int file, TrackAssignment& assignment) {
  std::vector<int32_t>& track_of_file = assignment.track_of_file;
  if (file < 0 || static_cast<size_t>(file) >= track_of_file.size()) return;
  track_of_file[static_cast<size_t>(file)] = best_index(row);
}

void resolve_track_conflicts(const Release& release, TrackAssignment& assignment) {
  const int32_t tracks = static_cast<int32_t>(release.track_names.size());
  if (tracks < 1) return;

  // Claimants are listed once, before anything moves: a file that moves
  // onto a track settled earlier, or onto another file's, stays there.
  std::vector<std::vector<int>> claimants(static_cast<size_t>(tracks));
  const size_t files = std::min(assignment.track_of_file.size(), assignment.scores.size());
  for (size_t f = 0; f < files; ++f) {
    const int32_t track = assignment.track_of_file[f];
    if (track >= 0 && track < tracks)
      claimants[static_cast<size_t>(track)].push_back(static_cast<int>(f));
  }
  for (int32_t t = 0; t < tracks; ++t) {
    if (claimants[static_cast<size_t>(t)].size() > 1)
      settle_claimants(t, claimants[static_cast<size_t>(t)], assignment);
  }
}

bool has_numbered_suffix(const std::string& name) {
  const size_t p = name.find('(');
  return p != std::string::npos && p + 2 < name.size() && name[p + 2] == ')' &&
         is_digit(name[p + 1]);
}

void strip_numbered_suffix(std::string& name) {
  if (has_numbered_suffix(name)) name.erase(name.find('('), 3);
  strip_trailing(name, ' ');
}

std::string first_numbered_artist(const Release& release) {
  if (has_numbered_suffix(release.artist)) return release.artist;
  for (const std::string& artist : release.track_artists) {
    if (has_numbered_suffix(artist)) return artist;
  }
  return "";
}

void strip_artist_suffixes(Release& release) {
  strip_numbered_suffix(release.artist);
  for (std::string& artist : release.track_artists) strip_numbered_suffix(artist);
}
