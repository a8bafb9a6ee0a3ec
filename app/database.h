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
// Why the lookup failed, as the user reads it.
std::string lookup_failure_text(const LookupError& failure);
// Tells the user in a box why the lookup failed, and ends the run
// (g_cancelled).
void tell_lookup_failure(platform::Window* owner, const LookupError& failure);
