#include "output/journal/batch_record.h"

#include <algorithm>
#include <cerrno>

#include "common/text.h"
#include "output/journal/finished_albums.h"
#include "output/journal/journal.h"
#include "output/journal/journal_format.h"
#include "platform/codepage.h"
#include "platform/files/file_read.h"
#include "platform/files/folders.h"
#include "platform/files/safe_write.h"
#include "platform/files/state_files.h"

namespace {

const char kHeader[] = "plinth batch 1\n";
const char kSuffix[] = ".batch";

// A record's lines; a line cut short by a crash is left out.
bool parse_record(const std::string& text, BatchEntry& entry) {
  if (text.compare(0, sizeof kHeader - 1, kHeader) != 0) return false;
  size_t start = sizeof kHeader - 1;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    if (end == std::string::npos) break;
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    std::string folder;
    if (line.compare(0, 5, "time ") == 0) {
      const std::string digits = line.substr(5);
      if (digits.empty() || digits.size() > 18 ||
          !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
      }
      entry.time = std::stoll(digits);
    } else if (line.compare(0, 6, "album ") == 0 && from_lower_hex(line.substr(6), folder) &&
               !folder.empty() && folder[0] == '/') {
      entry.folders.push_back(folder);
    } else {
      return false;
    }
  }
  return entry.time > 0;
}

std::string when(int64_t seconds) {
  return platform::time_text(seconds, "%Y-%m-%d %H:%M:%S", true);
}

// The batch a journal belongs to: its folder is one of the batch's albums
// and its run came after the batch began and before the next one.
int batch_of(const Journal& journal, const std::vector<BatchEntry>& batches) {
  for (size_t b = 0; b < batches.size(); ++b) {
    const BatchEntry& batch = batches[b];
    const int64_t next = b == 0 ? INT64_MAX : batches[b - 1].time;
    // A newer batch of the same second was asked first.
    if (journal.time < batch.time || journal.time > next) continue;
    if (std::find(batch.folders.begin(), batch.folders.end(), journal.folder_before) !=
        batch.folders.end()) {
      return static_cast<int>(b);
    }
  }
  return -1;
}

}  // namespace

int BatchRecord::start(int64_t now) {
  std::string folder;
  if (const int error = platform::state_folder("batch", folder)) return error;
  const std::string text = std::string(kHeader) + "time " + std::to_string(now) + "\n";
  const std::string base = folder + "/" + platform::time_text(now, "%Y%m%d-%H%M%S", false);
  return create_stamped_file(base, kSuffix, text, path_);
}

int BatchRecord::album(const std::string& folder) {
  if (path_.empty()) return ENOENT;
  return platform::append_durably(path_, "album " + lower_hex(folder) + "\n");
}

std::vector<BatchEntry> recorded_batches() {
  std::vector<BatchEntry> batches;
  std::string folder;
  if (platform::state_folder("batch", folder) != 0) return batches;
  std::vector<std::string> names;
  for (const std::string& name : platform::regular_files_in(folder)) {
    const size_t suffix = sizeof kSuffix - 1;
    if (name.size() > suffix && name.compare(name.size() - suffix, suffix, kSuffix) == 0) {
      names.push_back(name);
    }
  }
  sort_newest_first(names, kSuffix);
  for (const std::string& name : names) {
    std::string text;
    BatchEntry entry;
    if (platform::read_whole_file(platform::name_from_fs(folder + "/" + name), text) &&
        parse_record(text, entry)) {
      batches.push_back(entry);
    }
  }
  std::stable_sort(batches.begin(), batches.end(),
                   [](const BatchEntry& a, const BatchEntry& b) { return a.time > b.time; });
  return batches;
}

std::vector<std::string> journals_of_last_batch() {
  std::vector<std::string> paths;
  const std::vector<BatchEntry> batches = recorded_batches();
  if (batches.empty()) return paths;
  const FinishedAlbums finished;
  for (const auto& entry : finished.journals()) {
    if (batch_of(entry.second, batches) == 0) paths.push_back(entry.first);
  }
  return paths;
}

std::vector<std::string> history_with_batches(const std::string& folder) {
  const std::vector<BatchEntry> batches = recorded_batches();
  std::vector<std::string> lines = run_history(folder);
  if (batches.empty() || !folder.empty()) return lines;
  // Without a folder the history has one line a journal, in the journals'
  // order: a batch's lines go under its heading, where its first one was.
  const std::vector<std::string> paths = journal_paths();
  if (paths.size() != lines.size()) return lines;
  std::vector<std::vector<std::string>> members(batches.size());
  std::vector<std::string> out;
  std::vector<bool> headed(batches.size(), false);
  std::vector<size_t> heading_at(batches.size());
  for (size_t i = 0; i < paths.size(); ++i) {
    std::string why;
    Journal journal;
    const int b = read_journal(paths[i], journal, why) ? batch_of(journal, batches) : -1;
    if (b < 0) {
      out.push_back(lines[i]);
      continue;
    }
    if (!headed[static_cast<size_t>(b)]) {
      headed[static_cast<size_t>(b)] = true;
      heading_at[static_cast<size_t>(b)] = out.size();
      out.push_back("");
    }
    members[static_cast<size_t>(b)].push_back("    " + lines[i]);
  }
  // Filled in from the last heading back, so the earlier positions hold.
  for (size_t b = batches.size(); b-- > 0;) {
    if (!headed[b]) continue;
    std::vector<std::string> block = {when(batches[b].time) + "  library run of " +
                                      counted(members[b].size(), "album", "albums") +
                                      (b == 0 ? "  (plinth --undo --batch takes it back)" : "")};
    block.insert(block.end(), members[b].begin(), members[b].end());
    out.erase(out.begin() + static_cast<long>(heading_at[b]));
    out.insert(out.begin() + static_cast<long>(heading_at[b]), block.begin(), block.end());
  }
  return out;
}

UndoReport undo_last_batch() {
  UndoReport report;
  const std::vector<BatchEntry> batches = recorded_batches();
  if (batches.empty()) {
    report.lines.push_back("No library run of Plinth is in the journal.");
    report.complete = false;
    return report;
  }
  const BatchEntry& batch = batches[0];
  const FinishedAlbums finished;
  bool any = false;
  for (auto folder = batch.folders.rbegin(); folder != batch.folders.rend(); ++folder) {
    // The batch's own Finish! of the album: the oldest journal of the folder since the batch began.
    const Journal* run = nullptr;
    for (const auto& entry : finished.journals()) {
      const Journal& journal = entry.second;
      if (journal.folder_before == *folder && journal.time >= batch.time) run = &journal;
    }
    if (run == nullptr) continue;  // stopped before its Finish! changed anything
    any = true;
    report.lines.push_back("album " + *folder + ":");
    // Taken back already: an older run of the folder is no part of this batch.
    if (run->undone) {
      report.lines.push_back("    already taken back (" + when(run->undone_time) + ")");
      continue;
    }
    std::string left = folder_left_by(*run);
    // A run cut short may not have renamed the folder yet.
    if (!run->result_known && !platform::set_current_folder(left)) left = run->folder_before;
    const UndoReport album = undo_last_run(left);
    for (const std::string& line : album.lines) report.lines.push_back("    " + line);
    report.complete = report.complete && album.complete;
  }
  if (!any)
    report.lines.push_back("The last library run (" + when(batch.time) + ") changed no album.");
  return report;
}
