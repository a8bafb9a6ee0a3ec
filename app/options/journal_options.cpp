#include "app/options/journal_options.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "output/journal/batch_record.h"
#include "output/journal/journal.h"
#include "output/journal/journal_format.h"
#include "output/journal/undo.h"
#include "platform/codepage.h"
#include "platform/command_line.h"
#include "platform/files/folders.h"
#include "platform/term/term_text.h"

namespace {

// A file's name may hold any character, an ESC too: each is written out
// as the terminal pages write it, so that none reaches the terminal raw.
void print_lines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    std::printf("%s\n", platform::term::visible(platform::to_utf8(line)).c_str());
  }
}

// The user knows the folder by the name it had before the run as well as
// by the one the run gave it: the newest run that started from that name
// is taken back where it left the folder, unless an undo cut short has
// already given the folder its old name back. A name a run left a folder
// under is taken as it is.
std::string folder_to_undo(const std::string& folder) {
  for (const std::string& path : journal_paths()) {
    std::string why;
    Journal journal;
    if (!read_journal(path, journal, why)) continue;
    const bool moved = !journal.result_known || journal.folder_moved;
    const std::string& left = moved ? journal.folder_after : journal.folder_before;
    if (left == folder || (!journal.result_known && journal.folder_before == folder)) return folder;
    if (journal.folder_before == folder) return platform::folder_exists(left) ? left : folder;
  }
  return folder;
}

}  // namespace

bool run_journal_option(int argc, const char* const* argv, int& status) {
  if (argc < 2) return false;
  const bool undo = std::strcmp(argv[1], "--undo") == 0;
  const bool history = std::strcmp(argv[1], "--history") == 0;
  if (!undo && !history) return false;
  // The folder after the option, read as the folder of a run is.
  const std::string folder = platform::folder_argument(argc - 1, argv + 1);
  if (history) {
    const std::vector<std::string> lines = history_with_batches(folder);
    if (lines.empty()) std::printf("No run of Plinth is in the journal.\n");
    print_lines(lines);
    status = 0;
    return true;
  }
  if (folder.empty()) {
    std::fprintf(stderr, "plinth: --undo needs the folder as the last run left it\n");
    status = 2;
    return true;
  }
  const UndoReport report = undo_last_run(folder_to_undo(folder));
  print_lines(report.lines);
  std::fflush(stdout);
  status = report.complete ? 0 : 1;
  return true;
}
