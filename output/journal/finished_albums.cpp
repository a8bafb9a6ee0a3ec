#include "output/journal/finished_albums.h"

#include <algorithm>

#include "output/journal/journal.h"
#include "platform/files/album_entries.h"

std::string folder_left_by(const Journal& journal) {
  if (journal.result_known && !journal.folder_moved) return journal.folder_before;
  return journal.folder_after;
}

FinishedAlbums::FinishedAlbums() {
  for (const std::string& path : journal_paths()) {
    std::string why;
    Journal journal;
    if (!read_journal(path, journal, why)) continue;
    journals_.emplace_back(path, journal);
    // Newest first: the first journal of a folder is its last run.
    last_run_.emplace(folder_left_by(journal), journals_.size() - 1);
  }
}

bool FinishedAlbums::unchanged_since(const std::string& folder,
                                     const std::vector<std::string>& mp3_names) const {
  const auto found = last_run_.find(folder);
  if (found == last_run_.end()) return false;
  const Journal& journal = journals_[found->second].second;
  // A run cut short, or taken back, leaves the album to be done again.
  if (!journal.result_known || journal.undone) return false;
  std::vector<std::string> names;
  for (const JournalFile& file : journal.files) {
    const std::string& name = file.moved ? file.new_name : file.old_name;
    if (file.tags_hash.empty() || platform::entry_kind(name) != platform::EntryKind::kRegular ||
        tags_hash_of(name) != file.tags_hash) {
      return false;
    }
    names.push_back(name);
  }
  std::vector<std::string> listed = mp3_names;
  std::sort(names.begin(), names.end());
  std::sort(listed.begin(), listed.end());
  return names == listed;
}
