#pragma once
// What the journal says about album folders that Finish! tagged: where each
// run left the folder and with which names and tags it left the files, so
// that a library run passes over what was tagged and has not changed since.
#include <map>
#include <string>
#include <vector>

#include "output/journal/journal_format.h"

class FinishedAlbums {
 public:
  // Reads every journal once.
  FinishedAlbums();

  // True when the last run that left `folder` (an absolute path, the
  // current folder) was not taken back, every file it wrote is there under
  // the name it was given with the tags it was given, and the folder holds
  // no other MP3 file. Reads the files' tags, nothing else.
  bool unchanged_since(const std::string& folder, const std::vector<std::string>& mp3_names) const;

  // The journals read, newest first, with their paths (the file system's bytes).
  const std::vector<std::pair<std::string, Journal>>& journals() const { return journals_; }

 private:
  std::vector<std::pair<std::string, Journal>> journals_;
  std::map<std::string, size_t> last_run_;  // folder as a run left it -> into journals_
};

// Where a run left its folder, as far as its journal knows.
std::string folder_left_by(const Journal& journal);
