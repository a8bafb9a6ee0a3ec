#pragma once
// The wizard pages. Each runs modally and leaves its outcome in the run
// state.

// The search-result page: sets g_result_url and g_label, or g_cancelled.
void show_search_result_page();
