#pragma once
// Diagnostic lines of the run. They go to standard output as the 8-bit bytes
// the program holds; when standard output is a terminal they go to
// $XDG_CACHE_HOME/plinth/last-run.log instead, so they never mix with the
// pages drawn there. Formats are always literals of the program.

#include <string>

namespace platform {

void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Writes out the lines held back. Done before the program waits for the
// user, so that the lines up to each page are there to read while it shows.
void flush_trace();
// Sends the lines to the log file whatever standard output is, for a run
// whose standard output carries its report. Called before the first line.
void trace_to_log_file();
// Whether standard error is a terminal (a progress line is worth drawing).
bool standard_error_is_terminal();
// Where the lines go when standard output is a terminal.
std::string trace_log_path();

}  // namespace platform
