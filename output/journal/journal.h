#pragma once
// The journals of Finish!, one file per run under
// $XDG_STATE_HOME/plinth/journal/, named by the time and the folder.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "output/journal/journal_format.h"
#include "platform/files/safe_write.h"

// The journal files, newest first, as paths of the file system.
std::vector<std::string> journal_paths();
// State files are named by the second they began ("20261207-220000..."):
// creates `base` + `suffix`, or, where that is taken, the first free of
// `base` + "-1", "-2"... + `suffix`; 0 or an errno value, `path` the name
// tried last.
int create_stamped_file(const std::string& base, const std::string& suffix, const std::string& text,
                        std::string& path);
// Sorts such names newest first, by their second and then their number.
void sort_newest_first(std::vector<std::string>& names, const std::string& suffix);

// Reads and parses the journal file at `path` (as journal_paths gives it);
// its text goes to `text` when asked for. False, with `why` set when the text
// was read but not understood, when it cannot be used.
bool read_journal(const std::string& path, Journal& journal, std::string& why,
                  std::string* text = nullptr);

// True when the journal's name says it is of a run that left that folder.
bool is_journal_of(const std::string& journal_path, const std::string& folder);

// Removes the journals older than 90 days and those beyond the 200 newest.
// Those in `keep` (paths as journal_paths gives them) go only by their age:
// a library run's journals are taken back together.
void prune_journals(int64_t now, const std::vector<std::string>& keep = {});

// The hash of the bytes between a file's tags, the tags themselves when
// `tags` is given. A file that cannot be read as an MP3 file is hashed
// whole, with no tags. False when it cannot be read at all.
bool audio_hash_of(const std::string& name, std::string& hash, std::string* v2 = nullptr,
                   std::string* v1 = nullptr);

// The hash of the tags a file holds now (its ID3v2 and ID3v1 bytes).
std::string tags_hash_of(const std::string& name);

// The journal of a Finish! in progress, in the current folder.
class FinishJournal {
 public:
  FinishJournal();
  ~FinishJournal();
  FinishJournal(const FinishJournal&) = delete;
  FinishJournal& operator=(const FinishJournal&) = delete;

  // Records the folder (the current one) and each file's names and tags as
  // they are.
  void start(const std::string& folder_before, const std::string& folder_after,
             const std::vector<std::string>& old_names, const std::vector<std::string>& new_names);
  // Hashes file i's audio as the copy beside it reads it, so that the audio
  // is not read twice.
  platform::FilePiece::Reader audio_reader(size_t i);
  // Writes what start() recorded durably, with the audio hashes (a file
  // that was not copied is read for its hash); to be done before the first
  // file changes. 0 or an errno value.
  int write();
  // Records that the run will write a file whole (the cover, the
  // playlist), with the hash of what it will hold, and what a file there
  // holds now. False, and nothing recorded, when what is there cannot be
  // kept in the journal (not a regular file, unreadable, or too large):
  // then it must be left as it is.
  bool will_write(const std::string& name, const std::string& new_hash);
  // What happened: file i now under its new name or its old one.
  void file_result(size_t i, bool moved);
  // A file that Finish! wrote (the cover, the playlist), as it is now.
  void created(const std::string& name);
  void folder_result(bool moved);
  // Appends what happened. 0 or an errno value.
  int finish();

  // The journal's path, in the code page.
  std::string path() const;

 private:
  struct Hashing;

  Journal journal_;
  std::vector<std::unique_ptr<Hashing>> hashing_;  // element i belongs to file i
  std::string path_;                               // the file system's bytes
  std::string written_;
};
