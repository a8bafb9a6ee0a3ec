#include "app/wizard.h"

#include "app/api_lookup.h"
#include "app/error_box.h"
#include "app/match_release.h"
#include "app/pages.h"
#include "app/search.h"
#include "common/dm_match.h"
#include "common/text.h"
#include "model/run_state.h"
#include "output/templates.h"
#include "platform/trace.h"
#include "web/release_page.h"

namespace {

const char kNoTracks[] =
    "Could not find any tracks on your selected release. (The web search database may be "
    "offline)";

enum class Step { kTerm, kResults, kReleases, kMatch, kEnd };

// True when the search ended on a release page itself, not a list of them.
bool term_was_release_address() { return g_direct_page && !g_label && !g_has_releases; }

void read_direct_release() {
  Release release;
  read_release_page(g_page_text, release);
  match_release(release);
}

// What each file would be called; nothing is touched here.
void trace_new_names() {
  const std::vector<int32_t>& track_of_file = g_run.assignment.track_of_file;
  for (size_t i = 0; i < g_run.files.size(); ++i) {
    const int track = i < track_of_file.size() ? track_of_file[i] : -1;
    std::string name = track_file_name(g_run.release_index, track);
    safe_file_name(name);
    name += ".mp3";
    platform::trace("rename %s to %s\n", g_run.files[i].c_str(), name.c_str());
  }
}

// Each step is a page and the lookup its choice leads to. The wizard keeps
// what each page's user chose, and the search's hits, so that "<< Back"
// shows the page before as it was left.
class Wizard {
 public:
  void run() {
    Step step = Step::kTerm;
    while (step != Step::kEnd) step = run_step(step);
  }

 private:
  Step run_step(Step step) {
    switch (step) {
      case Step::kTerm:
        return term_step();
      case Step::kResults:
        return results_step();
      case Step::kReleases:
        return releases_step();
      case Step::kMatch:
        return match_step();
      case Step::kEnd:
        break;
    }
    return Step::kEnd;
  }

  // The search-term page and the search. A search without hits comes
  // back here, its box shown, the choice kept.
  Step term_step() {
    if (show_search_term_page(term_choice_) != PageExit::kNext) return Step::kEnd;
    // A new search: nothing of an earlier one may steer this one.
    g_direct_page = false;
    g_label = false;
    g_has_releases = false;
    g_collection.clear();
    g_run.release_index = -1;
    const SearchOutcome outcome = api_in_use() ? api_search_database(nullptr, g_search_term)
                                               : search_database(nullptr, g_search_term);
    switch (outcome) {
      case SearchOutcome::kFailed:
        return Step::kEnd;
      case SearchOutcome::kNoHits:
        return Step::kTerm;
      case SearchOutcome::kHits:
        g_run.could_not_go_on = false;
        hits_ = g_rurl;
        hit_ids_ = g_run.api_result_ids;
        result_choice_ = PageChoice();
        return Step::kResults;
      case SearchOutcome::kPage:
        g_run.could_not_go_on = false;
        if (!term_was_release_address()) return enter_releases(Step::kTerm);
        if (!api_in_use()) read_direct_release();  // the API search has read it
        match_back_ = Step::kTerm;
        return Step::kMatch;
    }
    return Step::kEnd;
  }

  // The artists and labels found; the chosen one's releases are loaded.
  Step results_step() {
    g_rurl = hits_;
    g_run.api_result_ids = hit_ids_;
    const PageExit exit = show_search_result_page(result_choice_);
    if (exit == PageExit::kBack) return Step::kTerm;
    if (exit != PageExit::kNext) return Step::kEnd;
    g_collection.clear();
    if (api_in_use()) {
      api_load_search_result(nullptr);
    } else {
      load_search_result(nullptr);
    }
    if (g_cancelled) return Step::kEnd;
    return enter_releases(Step::kResults);
  }

  Step enter_releases(Step back) {
    releases_back_ = back;
    release_choice_ = PageChoice();
    releases_ = g_rurl;
    collection_ = g_collection;
    return Step::kReleases;
  }

  // The releases of the artist or label; the chosen one is read.
  Step releases_step() {
    g_rurl = releases_;
    g_collection = collection_;
    g_run.release_index = -1;
    const PageExit exit = show_release_selection_page(release_choice_);
    if (exit == PageExit::kBack) return releases_back_;
    if (exit != PageExit::kNext) return Step::kEnd;
    match_back_ = Step::kReleases;
    return Step::kMatch;
  }

  // The release read is checked, then confirmed on the match page. A
  // release that could not be read sends the user back to choose again.
  Step match_step() {
    const Release* release = chosen_release();
    if (release == nullptr) {
      lookup_failure_box(kNoTracks);
      return match_back_;
    }
    platform::trace("%s::%d\n", "main", 1067);
    trace_new_names();

    platform::trace("%s::%d\n", "main", 1077);
    if (release->track_names.empty()) {
      error_box(kNoTracks);
      return match_back_;
    }
    g_run.could_not_go_on = false;
    if (show_match_confirmation_page() == PageExit::kBack) return match_back_;
    return Step::kEnd;
  }

  PageChoice term_choice_;
  PageChoice result_choice_;
  PageChoice release_choice_;
  std::vector<std::string> hits_;         // the search's artists and labels
  std::vector<std::string> hit_ids_;      // their API ids, when the API was asked
  std::vector<std::string> releases_;     // the release links of the chosen one
  std::vector<ReleaseEntry> collection_;  // and their lines
  Step releases_back_ = Step::kTerm;      // where "<< Back" on the releases leads
  Step match_back_ = Step::kTerm;         // and on the match page
};

}  // namespace

void run_wizard() { Wizard().run(); }
