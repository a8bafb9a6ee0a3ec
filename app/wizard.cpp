#include "app/wizard.h"

#include "app/error_box.h"
#include "app/lookup/search.h"
#include "app/pages/pages.h"
#include "common/dm_match.h"
#include "common/text.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "output/names/name_templates.h"
#include "platform/trace.h"

namespace {

enum class Step { kTerm, kResults, kReleases, kMatch, kEnd };

// True when the search ended on a release page itself, not a list of them.
bool term_was_release_address() { return g_direct_page && !g_label && !g_has_releases; }

// What each file would be called; nothing is touched here.
void trace_new_names() {
  const std::vector<int32_t>& track_of_file = g_run.assignment.track_of_file;
  for (size_t i = 0; i < g_run.files.size(); ++i) {
    const int track = i < track_of_file.size() ? track_of_file[i] : -1;
    const std::string name = track_file_name(chosen_release(), track, g_tf);
    platform::trace("rename %s to %s\n", g_run.files[i].c_str(), name.c_str());
  }
}

// Each step is a page and the lookup its choice leads to. The wizard keeps
// what each page's user chose, and what the search found, so that "<< Back"
// shows the page before as it was left. A lookup that fails says why and
// shows its page again, so that the user can try again or choose otherwise.
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

  // The search-term page and the search. A search without hits, or one
  // that failed, comes back here, its box shown, the choice kept.
  Step term_step() {
    if (show_search_term_page(term_choice_) != PageExit::kNext) return Step::kEnd;
    SearchOutcome outcome;
    do {
      // A new search: nothing of an earlier one may steer this one.
      g_direct_page = false;
      g_label = false;
      g_has_releases = false;
      g_collection.clear();
      g_run.release_index = -1;
      results_ = SearchResults();
      outcome = search_database(nullptr, g_search_term, results_);
    } while (outcome == SearchOutcome::kRetry);
    switch (outcome) {
      case SearchOutcome::kFailed:
      case SearchOutcome::kNoHits:
      case SearchOutcome::kRetry:
        return g_cancelled ? Step::kEnd : Step::kTerm;
      case SearchOutcome::kHits:
        result_choice_ = PageChoice();
        return Step::kResults;
      case SearchOutcome::kPage:
        if (!term_was_release_address()) return enter_releases(Step::kTerm);
        match_back_ = Step::kTerm;
        return Step::kMatch;
    }
    return Step::kEnd;
  }

  // The artists and labels found, and releases found by title; the chosen
  // one's releases are listed, or the chosen release is read.
  Step results_step() {
    list_search_results(results_, result_choice_.release_lines);
    const PageExit exit = show_search_result_page(result_choice_);
    if (exit == PageExit::kBack) return Step::kTerm;
    if (exit != PageExit::kNext) return Step::kEnd;
    g_collection.clear();
    g_run.release_index = -1;
    ChoiceOutcome outcome;
    do {
      outcome = load_search_result(nullptr, results_);
    } while (outcome == ChoiceOutcome::kRetry);
    switch (outcome) {
      case ChoiceOutcome::kReleases:
        return enter_releases(Step::kResults);
      case ChoiceOutcome::kRelease:
        match_back_ = Step::kResults;
        return Step::kMatch;
      case ChoiceOutcome::kFailed:
      case ChoiceOutcome::kRetry:
        break;
    }
    return g_cancelled ? Step::kEnd : Step::kResults;
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
  // release without tracks sends the user back to choose again.
  Step match_step() {
    const Release* release = chosen_release();
    if (release == nullptr) {
      error_box(kNoTracks);
      return match_back_;
    }
    // A fixed marker in the trace, so that the logs of two runs line up here.
    platform::trace("%s::%d\n", "main", 1067);
    trace_new_names();

    // A fixed marker in the trace, so that the logs of two runs line up here.
    platform::trace("%s::%d\n", "main", 1077);
    if (release->track_names.empty()) {
      error_box(kNoTracks);
      return match_back_;
    }
    if (show_match_confirmation_page() == PageExit::kBack) return match_back_;
    return Step::kEnd;
  }

  PageChoice term_choice_;
  PageChoice result_choice_;
  PageChoice release_choice_;
  SearchResults results_;                 // what the search found
  std::vector<std::string> releases_;     // the release links of the chosen one
  std::vector<ReleaseEntry> collection_;  // and their lines
  Step releases_back_ = Step::kTerm;      // where "<< Back" on the releases leads
  Step match_back_ = Step::kTerm;         // and on the match page
};

}  // namespace

void run_wizard() { Wizard().run(); }
