#pragma once
// The unattended library run: every album folder at or below the given
// folders, tagged through the database's API where its files leave no
// doubt, else left untouched with the reason; one report line an album on
// standard output as it is done, a summary at the end.
#include <string>
#include <vector>

struct BatchOptions {
  std::vector<std::string> roots;  // absolute paths, in the code page
  bool dry_run = false;            // look everything up, change nothing
};

// Runs the batch; the exit status: 0 when every album was tagged or left,
// 1 when any failed.
int run_batch(const BatchOptions& options);

// The line kept up to date at a terminal while the run goes on:
// "album 5 of 20: 2 tagged, 1 left, about 1 minute left", the time left
// judged from the `seconds` the first `done` albums took.
std::string batch_progress_line(size_t done, size_t all, int tagged, int left, double seconds);
