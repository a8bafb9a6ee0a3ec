#pragma once
// Where the run's lookups go, chosen once: with a personal access token the
// database's REST API, without one the site's pages. And what a lookup that
// failed tells the user.
#include <string>

#include "model/api_config.h"
#include "web/database_source.h"

namespace platform {
class Window;
}

// Makes the configuration the run's (g_run.api) and chooses its source
// (g_run.database); the lookups still to come use it.
void choose_database(const ApiConfig& config);
// The run's source; the one g_run.api asks for when none was chosen yet.
DatabaseSource& database();
// Why the lookup failed, as the user reads it: what failed, named.
std::string lookup_failure_text(const LookupError& failure);
// Tells the user in a box why the lookup failed, naming what failed, after
// `said_before` (the text the program has always shown for the case, where
// there is one). A refusal that a personal access token can mend offers the
// token page: true when a new token is in force and the lookup should be
// tried again. A wait the user stopped cancels the page (g_cancelled),
// without a box. Until a later lookup succeeds, a run that ends could not
// go on.
bool tell_lookup_failure(platform::Window* owner, const LookupError& failure,
                         const std::string& said_before = "");
// A lookup succeeded: a failure before it no longer ends the run.
void lookup_succeeded();
