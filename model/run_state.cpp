#include "model/run_state.h"

RunState g_run;

std::string g_clean_name;
TermList g_terms;
std::string g_search_term;
bool g_cancelled = false;
bool g_direct_page = false;
bool g_label = false;
bool g_has_releases = false;
std::string g_page_text;
std::string g_result_url;
std::vector<std::string> g_rurl;
std::vector<ReleaseEntry> g_collection;
std::vector<Release> g_releases;

// Beside the definitions, so that a global added above is not forgotten here.
void reset_run_state() {
  g_run = RunState();
  g_clean_name.clear();
  g_terms = TermList();
  g_search_term.clear();
  g_cancelled = false;
  g_direct_page = false;
  g_label = false;
  g_has_releases = false;
  g_page_text.clear();
  g_result_url.clear();
  g_rurl.clear();
  g_collection.clear();
  g_releases.clear();
}

void TermList::add_term(const std::string& text) {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i] == text) {
      ++counts_[i];
      return;
    }
  }
  items_.push_back(text);
  counts_.push_back(1);
}

void TermList::add_terms(const std::vector<std::string>& texts) {
  for (const std::string& text : texts) add_term(text);
}

Release* release_at(int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= g_releases.size()) return nullptr;
  return &g_releases[static_cast<size_t>(index)];
}

Release* chosen_release() { return release_at(g_run.release_index); }
