#pragma once
// The state of the one run. Every stage reads and writes it here; a stage
// that ends the run sets g_cancelled, which the driver tests after each page.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/api_config.h"
#include "model/local_track.h"
#include "model/release.h"
#include "model/track_assignment.h"
#include "platform/files/folders.h"

class DatabaseSource;  // web/database_source.h

// Search-term candidates with how often each was added.
class TermList {
 public:
  void add_term(const std::string& text);
  void add_terms(const std::vector<std::string>& texts);
  std::string item(int i) const { return items_[static_cast<size_t>(i)]; }
  int32_t count(int i) const { return counts_[static_cast<size_t>(i)]; }
  int size() const { return static_cast<int>(items_.size()); }

 private:
  std::vector<std::string> items_;
  std::vector<int32_t> counts_;
};

struct RunState {
  std::string program = "plinth";        // as it was started, for the line that says how to undo
  std::string folder_path;               // the folder as taken from the command line
  std::string folder_name;               // its last component, not cleaned
  platform::EnteredFolder folder;        // the folder the run entered at its start
  std::vector<std::string> files;        // *.mp3 names without path, as listed
  std::vector<LocalTrack> local_tracks;  // element i belongs to files[i]
  int32_t release_index = -1;            // into g_releases; -1 until one is read
  TrackAssignment assignment;
  ApiConfig api;                             // lookups go to the API when it has a token
  std::shared_ptr<DatabaseSource> database;  // where lookups go, chosen once from `api`
  // How the run ended, for the exit status a script reads.
  bool finished = false;         // Finish! went through to "Done!"
  bool could_not_go_on = false;  // the last lookup failed, or the folder cannot be written
};

extern RunState g_run;

extern std::string g_clean_name;
extern TermList g_terms;
extern std::string g_search_term;
extern bool g_cancelled;
extern bool g_direct_page;
extern bool g_label;
extern bool g_has_releases;
extern std::string g_page_text;
extern std::string g_result_url;
extern std::vector<std::string> g_rurl;
extern std::vector<ReleaseEntry> g_collection;
extern std::vector<Release> g_releases;

// Every global above as a new process has it.
void reset_run_state();

// Entry `index` of g_releases, or nullptr when there is none.
Release* release_at(int32_t index);
// The release the files are matched against (g_releases at
// g_run.release_index), or nullptr while none is.
Release* chosen_release();
