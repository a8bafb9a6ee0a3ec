#pragma once
// The record of one library run: when it began and, before each album's
// Finish!, the album's folder. With the journals of those Finish!es it lets
// the run be listed as one entry and taken back as one. Kept beside the
// journal, under $XDG_STATE_HOME/plinth/batch/.
#include <cstdint>
#include <string>
#include <vector>

#include "output/journal/undo.h"

class BatchRecord {
 public:
  // Creates the record of a run that begins now. 0 or an errno value.
  int start(int64_t now);
  // Notes an album about to be changed, durably. 0 or an errno value.
  int album(const std::string& folder);

 private:
  std::string path_;  // the file system's bytes
};

struct BatchEntry {
  int64_t time = 0;
  std::vector<std::string> folders;  // as each album was before its Finish!
};

// The library runs recorded, newest first.
std::vector<BatchEntry> recorded_batches();

// The journals (paths as journal_paths gives them) of the last library run.
std::vector<std::string> journals_of_last_batch();

// The history with each library run as one entry, its albums below it.
std::vector<std::string> history_with_batches(const std::string& folder);

// Takes back the albums of the last library run, the last album first, each
// as --undo would; says per album what was done.
UndoReport undo_last_batch();
