// Time per call of the matching on a full album and a large discography.
// The ranking writes one trace line per release: run with standard output
// sent to /dev/null (scripts/benchmarks does), or on a terminal, where the
// lines go to the log file.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "common/dm_match.h"
#include "common/release_ranking.h"
#include "model/run_state.h"

namespace {

const char* const kArtist = "The Wandering Stars";
const char* const kAlbum = "Night Harbour";

const std::vector<std::string> kTitles = {"Harbour Lights",
                                          "Cold Water",
                                          "Last Train Home",
                                          "A Letter From Lisbon",
                                          "Salt & Pepper",
                                          "Midnight Ferry",
                                          "I Saw A Boat!",
                                          "Paper Moon Over Oslo",
                                          "Don't Wake The Sailor",
                                          "Rain On Tin Roofs",
                                          "The Long Way Round",
                                          "Lanterns (Reprise)",
                                          "Blue River",
                                          "Fisherman's Song",
                                          "Under The Pier",
                                          "Northern Wind",
                                          "Seven Bridges",
                                          "Caf\xE9 Noir",
                                          "Old Rope, New Knots",
                                          "Tide Tables",
                                          "Gulls At Dawn",
                                          "Weather Report",
                                          "Copper Kettle Blues",
                                          "Lighthouse Keeper",
                                          "Driftwood",
                                          "The Captain's Daughter",
                                          "Foghorn Lullaby",
                                          "Shanty No. 9",
                                          "Where The Nets Are",
                                          "Sleeping Town",
                                          "Harbour Lights (Live)",
                                          "Anchor Chain",
                                          "Somewhere Past Dover",
                                          "Brass Buttons",
                                          "Storm Warning",
                                          "Low Tide Waltz",
                                          "Ships In Bottles",
                                          "Goodbye Mr. Finch",
                                          "Return To Port",
                                          "Night Harbour (Outro)"};

Release album_release() {
  Release release;
  release.artist = kArtist;
  release.title = kAlbum;
  release.release_date = "12 Mar 1999";
  for (size_t i = 0; i < kTitles.size(); ++i) {
    release.track_names.push_back(kTitles[i]);
    release.track_numbers.push_back(std::to_string(i + 1));
    release.track_artists.push_back(kArtist);
  }
  return release;
}

std::string two_digits(size_t n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// Files named the way rippers and shops name them, in several styles; some
// carry full tags, some none.
void set_up_album_files() {
  g_run = RunState();
  g_run.folder_name = std::string(kArtist) + " - " + kAlbum + " (1999)";
  for (size_t i = 0; i < kTitles.size(); ++i) {
    const std::string number = two_digits(i + 1);
    std::string name;
    switch (i % 4) {
      case 0:
        name = number + " - " + kArtist + " - " + kTitles[i] + ".mp3";
        break;
      case 1:
        name = number + "_" + kTitles[i] + ".mp3";
        break;
      case 2:
        name = "[" + number + "] " + kTitles[i] + " (1999).mp3";
        break;
      default:
        name = "Track " + number + ".mp3";
        break;
    }
    LocalTrack tags;
    if (i % 5 != 4) {
      tags.artist = kArtist;
      tags.title = kTitles[i];
      tags.album = kAlbum;
      tags.track_number = std::to_string(i + 1) + "/40";
      tags.release_date = "1999";
      tags.genre = "Folk";
      tags.comment = "ripped with care";
    }
    g_run.files.push_back(name);
    g_run.local_tracks.push_back(tags);
  }
}

void BM_MatchAlbumOf40Files(benchmark::State& state) {
  set_up_album_files();
  const Release release = album_release();
  const AlbumFiles files{g_run.files, g_run.local_tracks};
  for (auto _ : state) {
    score_all_files(files, release, g_run.assignment);
    resolve_track_conflicts(release, g_run.assignment);
    benchmark::DoNotOptimize(g_run.assignment.track_of_file.data());
  }
  // How many files found their own track: the data should match well.
  int matched = 0;
  for (size_t f = 0; f < g_run.files.size(); ++f) {
    if (g_run.assignment.track_of_file[f] == static_cast<int32_t>(f)) ++matched;
  }
  state.counters["own_track"] = matched;
}
BENCHMARK(BM_MatchAlbumOf40Files)->Unit(benchmark::kMicrosecond);

void set_up_discography() {
  const char* const first[] = {
      "Blue",    "Cold", "Night",   "Northern", "Salt",     "Paper",  "Copper",  "Silver", "Low",
      "Last",    "Old",  "Seven",   "Quiet",    "Broken",   "Golden", "Harbour", "Winter", "Hollow",
      "Distant", "Red",  "Morning", "Iron",     "Sleeping", "Lost",   "Wild"};
  const char* const second[] = {"River", "Water",   "Harbour",  "Lights", "Tides",
                                "Moon",  "Bridges", "Ferry",    "Roads",  "Letters",
                                "Songs", "Sailors", "Lanterns", "Wind",   "Nets",
                                "Gulls", "Anchors", "Storms",   "Towns",  "Waltzes"};
  const char* const formats[] = {"LP", "CD, Album", "7\"", "12\", EP", "CD, Comp"};
  g_collection.clear();
  for (const char* a : first) {
    for (const char* b : second) {
      std::string title = std::string(a) + " " + b;
      if (g_collection.size() % 7 == 3) title += " (Remastered)";
      if (g_collection.size() % 11 == 5) title += " / Live At The Dock";
      g_collection.push_back({"", title, "Harbour Records", formats[g_collection.size() % 5], ""});
    }
  }
}

void BM_RankDiscographyOf500(benchmark::State& state) {
  set_up_album_files();
  set_up_discography();
  const std::string keywords = build_release_keywords(g_run.folder_name, g_run.local_tracks);
  int32_t chosen = -1;
  for (auto _ : state) {
    chosen = rank_releases(keywords, g_collection);
    benchmark::DoNotOptimize(chosen);
  }
  state.counters["chosen"] = chosen;
}
BENCHMARK(BM_RankDiscographyOf500)->Unit(benchmark::kMicrosecond);

}  // namespace
