#include "tests/support/run_state_reset.h"

#include "app/settings.h"
#include "model/run_state.h"

namespace test_support {

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
  g_dirf = "[/4] /1 - /2";
  g_m3uf = "/1 - /2 [/4]";
  g_tf = "/8 - /6 - /7";
  g_m3u = true;
}

}  // namespace test_support
