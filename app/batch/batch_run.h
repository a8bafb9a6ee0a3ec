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
