#pragma once
// Taking a Finish! back from its journal, and the list of journaled runs.
#include <string>
#include <vector>

// What --undo did, one line a file, in the code page.
struct UndoReport {
  std::vector<std::string> lines;
  bool complete = true;  // false when anything could not be taken back
};

// Takes back the last Finish! on the folder (the absolute path as Finish!
// left it): each file gets its old tags and name, the folder its old name,
// and the files the run created go when they are unchanged. A file changed
// since (audio, tags or name) is left alone and named in the report.
UndoReport undo_last_run(const std::string& folder);

// One line a journaled run, newest first: time, folder before and after,
// files; only the runs on `folder` (before or after) unless it is empty.
std::vector<std::string> run_history(const std::string& folder);

// The line that tells how to take the run back: the program as it was
// started and the folder, each quoted for a shell where it needs to be.
std::string undo_hint(const std::string& program, const std::string& folder);
