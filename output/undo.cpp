#include "output/undo.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "output/journal.h"
#include "output/tag_writer.h"
#include "platform/album_entries.h"
#include "platform/codepage.h"
#include "platform/file_read.h"
#include "platform/folders.h"
#include "platform/moves.h"
#include "platform/staged_rewrites.h"
#include "platform/state_files.h"

namespace {

std::string quoted(const std::string& name) { return "'" + name + "'"; }

std::string when(int64_t seconds) {
  return platform::time_text(seconds, "%Y-%m-%d %H:%M:%S", true);
}

std::string base_of(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// Where Finish! left the folder, when the journal knows.
bool left_in(const Journal& journal, const std::string& folder) {
  if (journal.result_known) {
    return folder == (journal.folder_moved ? journal.folder_after : journal.folder_before);
  }
  return folder == journal.folder_after || folder == journal.folder_before;
}

struct Found {
  bool ok = false;
  std::string journal_path;  // the file system's bytes
  std::string text;
  Journal journal;
};

// The newest journal of a run that left the folder. A damaged journal that
// is newer and by its name may be of this folder stops the search: taking
// back an older run instead would be wrong.
Found find_last_run(const std::string& folder, UndoReport& report) {
  Found found;
  for (const std::string& path : journal_paths()) {
    std::string text, why;
    Journal journal;
    if (platform::read_whole_file(platform::name_from_fs(path), text) &&
        parse_journal(text, journal, why)) {
      if (!left_in(journal, folder)) continue;
      found = {true, path, text, journal};
      return found;
    }
    if (why.empty()) why = "it cannot be read";
    if (is_journal_of(path, folder)) {
      report.lines.push_back("The journal " + quoted(platform::name_from_fs(path)) +
                             " of this folder is damaged or was edited: " + why +
                             ". Nothing was changed.");
      report.complete = false;
      return found;
    }
  }
  report.lines.push_back("No run of Plinth on " + quoted(folder) + " is in the journal.");
  report.complete = false;
  return found;
}

// A file of the run as it is now: under its new name or its old one, with
// the audio it had.
bool locate(const JournalFile& file, std::string& name, std::string& why) {
  why = "it was renamed or removed since";
  for (const std::string& candidate : {file.new_name, file.old_name}) {
    std::string hash;
    // A link or odd file under the name is not the run's file.
    if (platform::entry_kind(candidate) != platform::EntryKind::kRegular) continue;
    if (audio_hash_of(candidate, hash) && hash == file.audio_hash) {
      name = candidate;
      return true;
    }
    why = "its audio has changed since";
  }
  return false;
}

struct Pending {
  size_t file = 0;
  std::string name;  // where it is now
  bool staged = false;
  size_t index = 0;
};

class Undo {
 public:
  Undo(const Journal& journal, UndoReport& report)
      : journal_(journal), report_(report), file_lines_(journal.files.size()) {}

  void run() {
    platform::remove_staged_leftovers();
    platform::StagedRewrites batch;
    std::vector<Pending> pending;
    for (size_t i = 0; i < journal_.files.size(); ++i) {
      Pending file;
      file.file = i;
      if (prepare(batch, file)) pending.push_back(file);
    }
    const int flush_error = batch.flush();
    std::vector<Pending> to_move;
    for (const Pending& file : pending) {
      int error = flush_error;
      if (error == 0 && file.staged) error = batch.commit(file.index);
      if (error != 0) {
        fail(file.file, file.name,
             "its tags could not be written back: " + platform::error_text(error));
      } else {
        to_move.push_back(file);
      }
    }
    // Backwards, so that a name the run passed from one file to another is
    // free again when its first owner comes back to it.
    for (auto it = to_move.rbegin(); it != to_move.rend(); ++it) move_back(*it);
    // One line a file, in the run's order.
    for (const std::string& line : file_lines_) {
      if (!line.empty()) report_.lines.push_back(line);
    }
    remove_created();
    batch.flush_folders(".");
  }

 private:
  void fail(size_t file, const std::string& name, const std::string& why) {
    file_lines_[file] = "left alone: " + quoted(name) + ": " + why;
    report_.complete = false;
  }

  void fail_created(const std::string& name, const std::string& why) {
    report_.lines.push_back("left alone: " + quoted(name) + ": " + why);
    report_.complete = false;
  }

  bool prepare(platform::StagedRewrites& batch, Pending& pending) {
    const JournalFile& file = journal_.files[pending.file];
    std::string why;
    if (!locate(file, pending.name, why)) {
      fail(pending.file, file.moved || !file.result_known ? file.new_name : file.old_name, why);
      return false;
    }
    FileTags tags;
    const bool readable = read_file_tags(pending.name, tags);
    if (readable && tags.v2 == file.old_v2 && tags.v1 == file.old_v1) return true;
    if (!readable) return true;  // never tagged by the run: only its name goes back
    if (!file.tags_hash.empty() && content_hash(tags.v2 + tags.v1) != file.tags_hash) {
      fail(pending.file, pending.name, "its tags were changed since");
      return false;
    }
    const Id3Layout& layout = tags.layout;
    const int error =
        batch.stage(pending.name, layout.file_size,
                    {platform::FilePiece::bytes(file.old_v2),
                     platform::FilePiece::old_range(layout.audio_begin(),
                                                    layout.audio_end() - layout.audio_begin()),
                     platform::FilePiece::bytes(file.old_v1)},
                    pending.index);
    if (error != 0) {
      fail(pending.file, pending.name,
           "its tags could not be written back: " + platform::error_text(error));
      return false;
    }
    pending.staged = true;
    return true;
  }

  void move_back(const Pending& pending) {
    const std::string& old_name = journal_.files[pending.file].old_name;
    if (pending.name == old_name) {
      file_lines_[pending.file] = "restored " + quoted(old_name);
      return;
    }
    const int error = platform::rename_entry(pending.name, old_name);
    if (error != 0) {
      fail(pending.file, pending.name,
           "its tags are back, but it could not get its old name " + quoted(old_name) + ": " +
               platform::error_text(error));
      return;
    }
    file_lines_[pending.file] = "restored " + quoted(pending.name) + " as " + quoted(old_name);
  }

  void remove_created() {
    for (const JournalCreated& created : journal_.created) {
      std::string bytes;
      if (platform::entry_kind(created.name) == platform::EntryKind::kMissing) continue;
      if (!platform::read_entry(created.name, bytes) ||
          content_hash(bytes) != created.content_hash) {
        fail_created(created.name, "it was changed since the run created it");
        continue;
      }
      const int error = platform::remove_file(platform::fs_name(created.name));
      if (error != 0) {
        fail_created(created.name, "it could not be removed: " + platform::error_text(error));
      } else {
        report_.lines.push_back("removed " + quoted(created.name));
      }
    }
  }

  const Journal& journal_;
  UndoReport& report_;
  std::vector<std::string> file_lines_;  // element i belongs to file i
};

void rename_folder_back(const std::string& folder, const Journal& journal, UndoReport& report) {
  if (folder == journal.folder_before) return;
  if (!platform::set_current_folder(platform::folder_of(folder))) {
    report.lines.push_back("Could not open the folder " + platform::folder_of(folder));
    report.complete = false;
    return;
  }
  const int error = platform::rename_entry(base_of(folder), base_of(journal.folder_before));
  if (error != 0) {
    report.lines.push_back("The folder could not get its old name " +
                           quoted(journal.folder_before) + ": " + platform::error_text(error));
    report.complete = false;
    return;
  }
  platform::flush_folder(".");
  report.lines.push_back("renamed the folder back to " + quoted(journal.folder_before));
}

}  // namespace

UndoReport undo_last_run(const std::string& folder) {
  UndoReport report;
  Found found = find_last_run(folder, report);
  if (!found.ok) return report;
  const Journal& journal = found.journal;
  if (journal.undone) {
    report.lines.push_back("The run of " + when(journal.time) + " on " + quoted(folder) +
                           " was already taken back (" + when(journal.undone_time) +
                           "): nothing to do.");
    return report;
  }
  if (!platform::set_current_folder(folder)) {
    report.lines.push_back("Could not open the folder " + folder);
    report.complete = false;
    return report;
  }
  {
    const platform::FolderLock lock;
    if (!lock.free()) {
      report.lines.push_back("Another run of the program is working on the folder " + folder +
                             ", so nothing was changed.");
      report.complete = false;
      return report;
    }
    Undo(journal, report).run();
  }
  rename_folder_back(folder, journal, report);
  // Done as far as it can be: a second --undo would find nothing more.
  platform::append_durably(
      found.journal_path,
      journal_undone_text(found.text, static_cast<int64_t>(std::time(nullptr))));
  return report;
}

std::vector<std::string> run_history(const std::string& folder) {
  std::vector<std::string> lines;
  for (const std::string& path : journal_paths()) {
    std::string text, why;
    Journal journal;
    if (!platform::read_whole_file(platform::name_from_fs(path), text) ||
        !parse_journal(text, journal, why)) {
      lines.push_back("damaged journal " + quoted(platform::name_from_fs(path)) + ": " + why);
      continue;
    }
    if (!folder.empty() && folder != journal.folder_before && folder != journal.folder_after) {
      continue;
    }
    lines.push_back(
        when(journal.time) + "  " + quoted(journal.folder_before) + " -> " +
        quoted(journal.folder_after) + "  " + std::to_string(journal.files.size()) + " files" +
        (journal.undone ? "  (taken back " + when(journal.undone_time) + ")" : std::string()));
  }
  return lines;
}

namespace {

std::string single_quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// A word a shell takes as it stands, so it needs no quotes.
bool plain_word(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return platform::ascii_letter_or_digit(static_cast<unsigned char>(c)) ||
           std::strchr("/._+-=:,@%", c) != nullptr;
  });
}

}  // namespace

std::string undo_hint(const std::string& program, const std::string& folder) {
  return "To take this run back: " + (plain_word(program) ? program : single_quoted(program)) +
         " --undo " + single_quoted(folder);
}
