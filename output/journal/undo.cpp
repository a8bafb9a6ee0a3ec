#include "output/journal/undo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <map>
#include <set>

#include "output/journal/journal.h"
#include "output/tags/tag_writer.h"
#include "platform/codepage.h"
#include "platform/files/album_entries.h"
#include "platform/files/folders.h"
#include "platform/files/moves.h"
#include "platform/files/staged_rewrites.h"
#include "platform/files/state_files.h"
#include "platform/paths.h"

namespace {

std::string quoted(const std::string& name) { return "'" + name + "'"; }

std::string when(int64_t seconds) {
  return platform::time_text(seconds, "%Y-%m-%d %H:%M:%S", true);
}

// Where Finish! left the folder, when the journal knows.
bool left_in(const Journal& journal, const std::string& folder) {
  if (journal.result_known) {
    return folder == (journal.folder_moved ? journal.folder_after : journal.folder_before);
  }
  return folder == journal.folder_after || folder == journal.folder_before;
}

// The run's own folder under either of its names: found however far an
// undo that was cut short or could not finish got with it.
bool is_run_folder(const Journal& journal, const std::string& folder,
                   const platform::FolderIdentity* here) {
  return here != nullptr && journal.has_folder_id && journal.folder_device == here->device &&
         journal.folder_inode == here->inode &&
         (folder == journal.folder_after || folder == journal.folder_before);
}

struct Found {
  bool ok = false;
  std::string journal_path;  // the file system's bytes
  std::string text;
  Journal journal;
};

// The newest journal of a run on this very folder, else the newest of a
// run that left a folder of this name; a run already taken back only when
// no other is left to take back. A damaged journal that is newer and by
// its name may be of this folder stops the search: taking back an older
// run instead would be wrong.
Found find_last_run(const std::string& folder, UndoReport& report) {
  platform::FolderIdentity identity;
  const platform::FolderIdentity* here =
      platform::folder_identity(folder, identity) ? &identity : nullptr;
  Found by_name, taken_back;
  for (const std::string& path : journal_paths()) {
    std::string text, why;
    Journal journal;
    if (read_journal(path, journal, why, &text)) {
      const bool own = is_run_folder(journal, folder, here);
      if (!own && !left_in(journal, folder)) continue;
      Found& slot = journal.undone ? taken_back : by_name;
      if (own && !journal.undone) return {true, path, text, journal};
      if (!slot.ok) slot = {true, path, text, journal};
      continue;
    }
    if (by_name.ok) return by_name;
    if (why.empty()) why = "it cannot be read";
    if (is_journal_of(path, folder)) {
      report.lines.push_back("The journal " + quoted(platform::name_from_fs(path)) +
                             " of this folder is damaged or was edited: " + why +
                             ". Nothing was changed.");
      report.complete = false;
      return Found();
    }
  }
  if (by_name.ok) return by_name;
  if (taken_back.ok) return taken_back;
  report.lines.push_back("No run of Plinth on " + quoted(folder) + " is in the journal.");
  report.complete = false;
  return Found();
}

// The names file i may be under now: where the run left it when the
// journal says, else where it was to go; and its old name, where an undo
// that was cut short gave it back.
std::vector<std::string> places_of(const JournalFile& file) {
  const std::string& after = file.result_known && !file.moved ? file.old_name : file.new_name;
  if (after == file.old_name) return {file.old_name};
  return {after, file.old_name};
}

// Which entry of the folder is which file of the run. Each entry is given
// to one file at most: two files may share their audio bytes or the name
// they were to get, and each must get back its own tags and name. A
// file's candidates are the names places_of gives that hold its audio;
// files are matched to them by augmenting paths, so that one file taking a
// name never leaves another without the only one it could have.
class Locator {
 public:
  explicit Locator(const Journal& journal) : journal_(journal) {}

  // For each file, where it is now, or empty with why_[i] set.
  std::vector<std::string> locate() {
    const size_t count = journal_.files.size();
    candidates_.assign(count, {});
    why_.assign(count, "it was renamed or removed since");
    for (size_t i = 0; i < count; ++i) {
      for (const std::string& name : places_of(journal_.files[i])) {
        const std::string* hash = audio_at(name);
        if (hash == nullptr) continue;
        if (*hash == journal_.files[i].audio_hash) {
          candidates_[i].push_back(name);
        } else {
          why_[i] = "its audio has changed since";
        }
      }
    }
    for (size_t i = 0; i < count; ++i) {
      seen_.clear();
      assign(i);
    }
    std::vector<std::string> where(count);
    for (const auto& entry : owner_) where[entry.second] = entry.first;
    return where;
  }

  const std::string& why(size_t file) const { return why_[file]; }

 private:
  // The audio hash of a regular file under the name, read once; null when
  // there is none (a link or odd file under the name is not the run's).
  const std::string* audio_at(const std::string& name) {
    auto known = audio_.find(name);
    if (known == audio_.end()) {
      std::string hash;
      const bool regular =
          platform::entry_kind(name) == platform::EntryKind::kRegular && audio_hash_of(name, hash);
      known = audio_.emplace(name, regular ? hash : std::string()).first;
    }
    return known->second.empty() ? nullptr : &known->second;
  }

  bool assign(size_t file) {
    for (const std::string& name : candidates_[file]) {
      if (!seen_.insert(name).second) continue;
      const auto taken = owner_.find(name);
      if (taken == owner_.end() || assign(taken->second)) {
        owner_[name] = file;
        return true;
      }
    }
    return false;
  }

  const Journal& journal_;
  std::vector<std::vector<std::string>> candidates_;
  std::vector<std::string> why_;
  std::map<std::string, std::string> audio_;
  std::map<std::string, size_t> owner_;  // entry name -> file
  std::set<std::string> seen_;
};

struct Pending {
  size_t file = 0;
  std::string name;  // where it is now
  bool staged = false;
  size_t index = 0;
};

// A file the run wrote whole, as undo must treat it.
struct Written {
  std::string name;
  std::string hash;  // of what the run wrote
  bool had_old = false;
  std::string old_bytes;
};

// The plan's files that the run wrote (when the result is known, only
// those it says were written, as they were written), and the created files
// of a journal that has no plan of them.
std::vector<Written> written_files(const Journal& journal) {
  std::vector<Written> files;
  const auto created_hash = [&journal](const std::string& name) -> const std::string* {
    for (const JournalCreated& created : journal.created) {
      if (created.name == name) return &created.content_hash;
    }
    return nullptr;
  };
  for (const JournalWrite& write : journal.writes) {
    const std::string* hash = created_hash(write.name);
    if (journal.result_known && hash == nullptr) continue;  // it was not written
    files.push_back(
        {write.name, hash != nullptr ? *hash : write.new_hash, write.had_old, write.old_bytes});
  }
  for (const JournalCreated& created : journal.created) {
    const bool planned =
        std::any_of(journal.writes.begin(), journal.writes.end(),
                    [&created](const JournalWrite& w) { return w.name == created.name; });
    if (!planned) files.push_back({created.name, created.content_hash, false, std::string()});
  }
  return files;
}

class Undo {
 public:
  Undo(const Journal& journal, UndoReport& report)
      : journal_(journal), report_(report), file_lines_(journal.files.size()) {}

  void run() {
    platform::remove_staged_leftovers();
    platform::StagedRewrites batch;
    std::vector<Pending> pending;
    Locator locator(journal_);
    const std::vector<std::string> where = locator.locate();
    for (size_t i = 0; i < journal_.files.size(); ++i) {
      Pending file;
      file.file = i;
      file.name = where[i];
      if (file.name.empty()) {
        const JournalFile& record = journal_.files[i];
        fail(i, record.moved || !record.result_known ? record.new_name : record.old_name,
             locator.why(i));
      } else if (prepare(batch, file)) {
        pending.push_back(file);
      }
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
    move_back(to_move);
    // One line a file, in the run's order.
    for (const std::string& line : file_lines_) {
      if (!line.empty()) report_.lines.push_back(line);
    }
    give_back_written();
    if (const int error = batch.flush_folders(".")) {
      report_.lines.push_back("The folder's changes could not be saved to disk: " +
                              platform::error_text(error));
      report_.complete = false;
    }
  }

 private:
  void fail(size_t file, const std::string& name, const std::string& why) {
    file_lines_[file] = "left alone: " + quoted(name) + ": " + why;
    report_.complete = false;
  }

  void fail_written(const std::string& name, const std::string& why) {
    report_.lines.push_back("left alone: " + quoted(name) + ": " + why);
    report_.complete = false;
  }

  bool prepare(platform::StagedRewrites& batch, Pending& pending) {
    const JournalFile& file = journal_.files[pending.file];
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

  // Each file to its old name. A name the run passed from one file to
  // another is free only once its later owner has moved on, so the moves
  // go backwards, and again while any name that was taken came free.
  void move_back(std::vector<Pending> files) {
    std::reverse(files.begin(), files.end());
    std::vector<int> errors(files.size(), 0);
    for (bool moved = true; moved;) {
      moved = false;
      for (size_t k = 0; k < files.size(); ++k) {
        if (errors[k] == -1 || (errors[k] != 0 && errors[k] != EEXIST)) continue;
        errors[k] = move_one(files[k]);
        if (errors[k] == 0) {
          errors[k] = -1;
          moved = true;
        }
      }
    }
    for (size_t k = 0; k < files.size(); ++k) {
      if (errors[k] == -1) continue;
      const std::string& old_name = journal_.files[files[k].file].old_name;
      fail(files[k].file, files[k].name,
           "its tags are back, but it could not get its old name " + quoted(old_name) + ": " +
               platform::error_text(errors[k]));
    }
  }

  int move_one(const Pending& pending) {
    const std::string& old_name = journal_.files[pending.file].old_name;
    if (pending.name == old_name) {
      file_lines_[pending.file] = "restored " + quoted(old_name);
      return 0;
    }
    const int error = platform::rename_entry_back(pending.name, old_name);
    if (error == 0) {
      file_lines_[pending.file] = "restored " + quoted(pending.name) + " as " + quoted(old_name);
    }
    return error;
  }

  // The cover and the playlist: what the run created goes, what it wrote
  // over gets its old content back; either only when it is as the run
  // left it.
  void give_back_written() {
    for (const Written& file : written_files(journal_)) {
      const platform::EntryKind kind = platform::entry_kind(file.name);
      if (kind == platform::EntryKind::kMissing) {
        if (file.had_old) fail_written(file.name, "it was removed since the run wrote it");
        continue;
      }
      std::string bytes;
      if (!platform::read_entry(file.name, bytes)) {
        fail_written(file.name, "it is not the file the run wrote");
        continue;
      }
      const std::string hash = content_hash(bytes);
      if (file.had_old && hash == content_hash(file.old_bytes)) continue;  // back already
      if (hash != file.hash) {
        fail_written(file.name, file.had_old ? "it was changed since the run wrote it"
                                             : "it was changed since the run created it");
        continue;
      }
      const int error = file.had_old ? platform::write_entry(file.name, file.old_bytes)
                                     : platform::remove_file(platform::fs_name(file.name));
      if (error != 0) {
        fail_written(file.name, std::string(file.had_old ? "its old content could not be put back: "
                                                         : "it could not be removed: ") +
                                    platform::error_text(error));
      } else {
        report_.lines.push_back((file.had_old ? "gave back its old content: " : "removed ") +
                                quoted(file.name));
      }
    }
  }

  const Journal& journal_;
  UndoReport& report_;
  std::vector<std::string> file_lines_;  // element i belongs to file i
};

// The folder gets its old name only when it is the folder the run renamed:
// another folder that has taken its name since is not touched.
void rename_folder_back(const std::string& folder, const Journal& journal, UndoReport& report) {
  if (folder == journal.folder_before) return;
  platform::FolderIdentity now;
  if (journal.has_folder_id &&
      (!platform::folder_identity(folder, now) || now.device != journal.folder_device ||
       now.inode != journal.folder_inode)) {
    report.lines.push_back("The folder " + quoted(folder) +
                           " is not the one the run renamed, so it keeps its name.");
    report.complete = false;
    return;
  }
  if (!platform::set_current_folder(platform::folder_of(folder))) {
    report.lines.push_back("Could not open the folder " + platform::folder_of(folder));
    report.complete = false;
    return;
  }
  const int error = platform::rename_entry_back(platform::base_of(folder),
                                                platform::base_of(journal.folder_before));
  if (error != 0) {
    report.lines.push_back("The folder could not get its old name " +
                           quoted(journal.folder_before) + ": " + platform::error_text(error));
    report.complete = false;
    return;
  }
  report.lines.push_back("renamed the folder back to " + quoted(journal.folder_before));
  if (const int flush_error = platform::flush_folder(".")) {
    report.lines.push_back("The folder's new name could not be saved to disk: " +
                           platform::error_text(flush_error));
    report.complete = false;
  }
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
  // Marked only when all is back: what failed can be tried again.
  if (!report.complete) {
    report.lines.push_back("Not all of the run was taken back; --undo again tries what is left.");
    return report;
  }
  const int error = platform::append_durably(
      found.journal_path,
      journal_undone_text(found.text, static_cast<int64_t>(std::time(nullptr))));
  if (error != 0) {
    report.lines.push_back("All is back, but the journal could not say so: " +
                           platform::error_text(error));
  }
  return report;
}

std::vector<std::string> run_history(const std::string& folder) {
  std::vector<std::string> lines;
  for (const std::string& path : journal_paths()) {
    std::string why;
    Journal journal;
    if (!read_journal(path, journal, why)) {
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
