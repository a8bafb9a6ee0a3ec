#include "app/batch/batch_run.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/batch/batch_front_end.h"
#include "app/batch/batch_lookups.h"
#include "app/driver.h"
#include "app/finish/apply_release.h"
#include "app/local_scan.h"
#include "app/lookup/api_source.h"
#include "app/lookup/candidates.h"
#include "app/lookup/database.h"
#include "app/pages/pages.h"
#include "common/album_certainty.h"
#include "common/dm_match.h"
#include "common/text.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "output/journal/batch_record.h"
#include "output/journal/finished_albums.h"
#include "output/names/name_templates.h"
#include "platform/codepage.h"
#include "platform/files/album_entries.h"
#include "platform/files/folders.h"
#include "platform/files/staged_rewrites.h"
#include "platform/paths.h"
#include "platform/trace.h"

namespace {

// Two searches and four releases: no album may cost the rate limit more.
constexpr int kMostRequestsPerAlbum = 6;

enum class Outcome { kTagged, kLeft, kFailed, kUnchanged };

struct AlbumResult {
  Outcome outcome = Outcome::kLeft;
  std::string line;         // the report line, in the code page
  bool stop_batch = false;  // every further album would fail the same way
  std::string now_at;       // the folder's path after a Finish! that renamed it
};

std::string utf8(const std::string& text) { return platform::to_utf8(text); }

AlbumResult result(Outcome outcome, const std::string& line, bool stop = false) {
  return {outcome, line, stop, ""};
}

AlbumResult left(const std::string& folder, const std::string& reason) {
  return result(Outcome::kLeft, "left    " + folder + ": " + reason);
}

AlbumResult failed(const std::string& folder, const std::string& what, bool stop = false) {
  return result(Outcome::kFailed, "failed  " + folder + ": " + what, stop);
}

// Each album starts from a clean run state, as a run of its own would; the
// settings and the API's address stay.
void reset_album_state(const std::string& folder) {
  const ApiConfig api = g_run.api;
  reset_run_state();
  g_run.api = api;
  g_run.folder_path = folder;
  g_run.folder_name = platform::base_of(folder);
}

// The boxes' texts on one line, as every album's line is one.
std::string on_one_line(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& text : texts) out += (out.empty() ? "" : " ") + text;
  std::replace(out.begin(), out.end(), '\n', ' ');
  return out;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class BatchRun {
 public:
  BatchRun(const BatchOptions& options, BatchLookups& lookups)
      : options_(options), lookups_(lookups) {}

  int run(std::vector<std::string> albums) {
    const auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < albums.size(); ++i) {
      if (platform::standard_error_is_terminal()) progress(i, albums.size(), seconds_since(start));
      const AlbumResult album = process(albums[i]);
      count(album.outcome);
      if (!album.now_at.empty()) moved(albums[i], album.now_at, albums);
      if (platform::standard_error_is_terminal()) std::fputs("\r\033[K", stderr);
      std::printf("%s\n", utf8(album.line).c_str());
      std::fflush(stdout);
      platform::flush_trace();
      if (album.stop_batch) {
        std::printf("The run stopped here: the other albums would fail the same way.\n");
        break;
      }
    }
    summary(albums.size());
    return failed_ > 0 ? 1 : 0;
  }

 private:
  AlbumResult process(const std::string& folder) {
    reset_album_state(folder);
    // Finish! writes only in the folder entered here.
    if (!platform::enter_folder(folder, g_run.folder)) {
      return failed(folder, "could not open the folder");
    }
    if (finished_.unchanged_since(folder, platform::list_mp3_names())) {
      return result(Outcome::kUnchanged, "done    " + folder + ": tagged before, unchanged since");
    }
    // What a Finish! that was killed left beside the files; not what one
    // at work in the folder now is writing.
    if (!options_.dry_run) {
      const platform::FolderLock lock;
      if (lock.free()) platform::remove_staged_leftovers();
    }
    find_mp3_files(g_run);
    scan_local_tracks(g_run);
    AlbumFacts album;
    album.folder_name = g_run.folder_name;
    album.files = g_run.files;
    album.tags = g_run.local_tracks;
    const AlbumClues clues = album_clues(album);

    std::vector<ReadRelease> read;
    std::string why_none;
    bool unread_rivals = false;
    const LookupError failure = look_up(album, clues, read, why_none, unread_rivals);
    if (failure.kind != LookupFailure::kNone) {
      // Without the token or the database every further album fails alike.
      return failed(
          folder, lookup_failure_text(failure),
          failure.kind == LookupFailure::kBadToken || failure.kind == LookupFailure::kNoConnection);
    }
    if (read.empty()) return left(folder, why_none);
    AlbumVerdict verdict = judge_album(album, read);
    if (verdict.chosen < 0) return left(folder, verdict.reason);
    if (unread_rivals) {
      return left(folder, "more releases may fit than could be compared");
    }
    return apply(folder, read[static_cast<size_t>(verdict.chosen)], verdict.assignment);
  }

  // Searches, then reads the likely releases best first: the next one only
  // while none read is certain, or while another could be certain too and
  // the folder name and tags cannot tell the two apart.
  LookupError look_up(const AlbumFacts& album, const AlbumClues& clues,
                      std::vector<ReadRelease>& read, std::string& why_none, bool& unread_rivals) {
    if (clues.title.empty()) {
      why_none = "the folder name and tags name no release";
      return LookupError();
    }
    const int before = lookups_.requests();
    std::vector<FoundRelease> found;
    const LookupError searched = lookups_.find_releases(clues.artist, clues.title, found);
    if (searched.kind != LookupFailure::kNone) return searched;
    const std::vector<size_t> ranked = rank_found_releases(clues, found);
    if (ranked.empty() && !found.empty()) {
      why_none = (found.size() == 1
                      ? std::string("the one release found does not have")
                      : "none of the " + std::to_string(found.size()) + " releases found has") +
                 " its title and artist in the folder name or tags";
      return LookupError();
    }
    if (ranked.empty()) {
      why_none = "no release found for " +
                 (clues.artist.empty() ? std::string() : "'" + clues.artist + "' ") + "'" +
                 clues.title + "'";
      return LookupError();
    }
    int certain = -1;  // into read: an index, as read grows
    for (const size_t index : ranked) {
      const FoundRelease& candidate = found[index];
      if (certain >= 0 &&
          !could_compete(clues, read[static_cast<size_t>(certain)].found, candidate)) {
        continue;
      }
      if (lookups_.requests() - before >= kMostRequestsPerAlbum) {
        unread_rivals = certain >= 0;
        break;
      }
      ReadRelease release;
      release.found = candidate;
      const LookupError f = lookups_.read_release(candidate.id, release.release);
      if (f.kind == LookupFailure::kNotFound) continue;
      if (f.kind != LookupFailure::kNone) return f;
      // Numbered suffixes go, as the answer Yes to the wizard's question.
      strip_artist_suffixes(release.release);
      read.push_back(release);
      TrackAssignment assignment;
      if (certain < 0 && doubt_about(album, clues, read.back(), assignment).empty()) {
        certain = static_cast<int>(read.size() - 1);
      }
    }
    return LookupError();
  }

  AlbumResult apply(const std::string& folder, const ReadRelease& chosen,
                    const TrackAssignment& assignment) {
    g_releases.push_back(chosen.release);
    // The numbers the match page gives the tracks, so that the files get the
    // names a run through the pages would give them.
    pad_track_numbers(g_releases.back());
    g_run.release_index = 0;
    g_run.assignment = assignment;
    const std::string id = "  (release " + chosen.found.id + ")";
    const std::string name = output_folder_name(chosen_release(), g_dirf);
    const std::string parent = platform::folder_of(folder);
    const std::string renamed = (parent == "/" ? "" : parent) + "/" + name;
    // Finish! would tag the files and then fail to rename the folder: the
    // same release is there already, tagged before or twice in the library.
    if (renamed != folder && platform::set_current_folder(renamed)) {
      return left(folder, "release " + chosen.found.id + " fits, but the folder " + renamed +
                              " is there already");
    }
    if (options_.dry_run)
      return result(Outcome::kTagged, "tagged  " + folder + " -> " + renamed + id);
    if (!record_started_) {
      record_started_ = true;
      record_.start(static_cast<int64_t>(std::time(nullptr)));
    }
    record_.album(folder);
    const std::string now_at = apply_release(nullptr);
    const std::vector<std::string> boxes = front_end_.take_boxes();
    if (now_at.empty()) return failed(folder, on_one_line(boxes));
    if (!boxes.empty()) {
      return failed(folder, "tagged as release " + chosen.found.id + " (now " + now_at +
                                "), but: " + on_one_line(boxes));
    }
    AlbumResult tagged = result(Outcome::kTagged, "tagged  " + folder + " -> " + now_at + id);
    if (now_at != folder) tagged.now_at = now_at;
    return tagged;
  }

  // Albums inside a renamed album's folder are found under its new name.
  static void moved(const std::string& from, const std::string& to,
                    std::vector<std::string>& albums) {
    const std::string prefix = from + "/";
    for (std::string& album : albums) {
      if (album.compare(0, prefix.size(), prefix) == 0) album = to + album.substr(from.size());
    }
  }

  void count(Outcome outcome) {
    switch (outcome) {
      case Outcome::kTagged:
        ++tagged_;
        break;
      case Outcome::kLeft:
        ++left_;
        break;
      case Outcome::kFailed:
        ++failed_;
        break;
      case Outcome::kUnchanged:
        ++unchanged_;
        break;
    }
  }

  void progress(size_t done, size_t all, double seconds) const {
    const std::string line = batch_progress_line(done, all, tagged_, left_, seconds);
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
  }

  void summary(size_t albums) const {
    const std::string counts =
        counted(albums, "album", "albums") + ": " + std::to_string(tagged_) + " tagged, " +
        std::to_string(left_) + " left, " + std::to_string(failed_) + " failed, " +
        std::to_string(unchanged_) + " unchanged since tagged before; " +
        counted(static_cast<size_t>(lookups_.requests()), "request", "requests") +
        " to the database" + (options_.dry_run ? " (a dry run: nothing was changed)" : "");
    std::printf("%s\n", counts.c_str());
  }

  const BatchOptions& options_;
  BatchLookups& lookups_;
  BatchFrontEnd front_end_;
  FinishedAlbums finished_;
  BatchRecord record_;
  bool record_started_ = false;
  int tagged_ = 0, left_ = 0, failed_ = 0, unchanged_ = 0;
};

// Measuring the program's own work needs the waits away; set by the
// benchmark only.
bool pacing_wanted() {
  const char* pacing = std::getenv("PLINTH_BATCH_PACING");
  return pacing == nullptr || std::strcmp(pacing, "off") != 0;
}

}  // namespace

std::string batch_progress_line(size_t done, size_t all, int tagged, int left, double seconds) {
  std::string line = "album " + std::to_string(done + 1) + " of " + std::to_string(all) + ": " +
                     std::to_string(tagged) + " tagged, " + std::to_string(left) + " left";
  if (done == 0) return line;
  const double rest = seconds / static_cast<double>(done) * static_cast<double>(all - done);
  const long minutes = static_cast<long>(rest / 60 + 0.5);
  if (minutes < 1) return line + ", less than a minute left";
  return line + ", about " + std::to_string(minutes) +
         (minutes == 1 ? " minute left" : " minutes left");
}

int run_batch(const BatchOptions& options) {
  platform::trace_to_log_file();
  set_default_settings();
  {
    BatchFrontEnd settings_boxes;
    load_user_settings();
    for (const std::string& box : settings_boxes.take_boxes()) {
      std::fprintf(stderr, "plinth: %s\n", utf8(box).c_str());
    }
  }
  g_run.api = api_config_from_environment();
  std::vector<std::string> albums;
  for (const std::string& root : options.roots) {
    for (const std::string& album : platform::album_folders(root)) {
      if (std::find(albums.begin(), albums.end(), album) == albums.end()) albums.push_back(album);
    }
  }
  if (options.dry_run) std::printf("A dry run: every album is looked up, nothing is changed.\n");
  BatchLookups lookups(g_run.api, pacing_wanted());
  return BatchRun(options, lookups).run(albums);
}
