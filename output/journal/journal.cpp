#include "output/journal/journal.h"

#include <xxhash.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>

#include "output/tags/tag_writer.h"
#include "platform/codepage.h"
#include "platform/files/album_entries.h"
#include "platform/files/file_read.h"
#include "platform/files/folders.h"
#include "platform/files/safe_write.h"
#include "platform/files/state_files.h"
#include "platform/paths.h"

namespace {

constexpr int64_t kKeepSeconds = 90LL * 24 * 60 * 60;
constexpr size_t kKeepNewest = 200;
const char kSuffix[] = ".journal";
constexpr size_t kStampSize = 15;  // "20250131-235959"
// A file the run would write over is kept whole in the journal, up to this
// size; a larger one under a playlist's name is not a playlist.
constexpr uint64_t kLargestKept = 1 << 20;

std::string stamp(int64_t seconds) { return platform::time_text(seconds, "%Y%m%d-%H%M%S", false); }

bool is_journal_name(const std::string& name) {
  const size_t suffix = sizeof kSuffix - 1;
  if (name.size() < kStampSize + suffix ||
      name.compare(name.size() - suffix, suffix, kSuffix) != 0) {
    return false;
  }
  for (size_t i = 0; i < kStampSize; ++i) {
    if (i == 8 ? name[i] != '-' : (name[i] < '0' || name[i] > '9')) return false;
  }
  return true;
}

// The folder's name as far as it is safe and short in a file name.
std::string name_part(const std::string& folder) {
  std::string part = platform::base_of(folder);
  for (char& c : part) {
    const auto b = static_cast<unsigned char>(c);
    const bool plain = (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') ||
                       c == ' ' || c == '-' || c == '_' || c == '[' || c == ']' || c == '(' ||
                       c == ')';
    if (!plain) c = '_';
  }
  return part.substr(0, 100);
}

// The same digits as content_hash gives.
std::string digits_of(const XXH128_hash_t& digest) {
  char digits[33];
  std::snprintf(digits, sizeof digits, "%016llx%016llx",
                static_cast<unsigned long long>(digest.high64),
                static_cast<unsigned long long>(digest.low64));
  return digits;
}

bool hash_range(const std::string& name, uint64_t offset, uint64_t length, std::string& hash) {
  uint64_t size = 0;
  const int fd = platform::open_regular_file(name, size, platform::Links::kRefuse);
  if (fd < 0) return false;
  XXH3_state_t* state = XXH3_createState();
  if (state == nullptr) {
    platform::close_file(fd);
    return false;
  }
  XXH3_128bits_reset(state);
  // Small chunks: hashing is no faster with larger ones, and they would add
  // to the program's memory.
  constexpr uint64_t kChunk = 64 << 10;
  std::string chunk;
  bool ok = true;
  while (length > 0 && ok) {
    const uint64_t want = std::min(length, kChunk);
    ok = platform::read_at(fd, offset, want, chunk) && chunk.size() == want;
    if (ok) XXH3_128bits_update(state, chunk.data(), chunk.size());
    offset += want;
    length -= want;
  }
  platform::close_file(fd);
  hash = digits_of(XXH3_128bits_digest(state));
  XXH3_freeState(state);
  return ok;
}

// The name without its suffix, and the number of the attempt that made it.
std::pair<std::string, long> stamped_order(const std::string& name, const std::string& suffix) {
  const std::string stem = name.substr(0, name.size() - std::min(name.size(), suffix.size()));
  const size_t dash = stem.rfind('-');
  const bool attempt = dash != std::string::npos && dash >= kStampSize && stem.size() - dash <= 3 &&
                       stem.size() - dash >= 2 &&
                       stem.find_first_not_of("0123456789", dash + 1) == std::string::npos;
  if (!attempt) return {stem, 0};
  return {stem.substr(0, dash), std::strtol(stem.c_str() + dash + 1, nullptr, 10)};
}

}  // namespace

int create_stamped_file(const std::string& base, const std::string& suffix, const std::string& text,
                        std::string& path) {
  int error = EEXIST;
  for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
    path = base + (attempt == 0 ? "" : "-" + std::to_string(attempt)) + suffix;
    error = platform::create_file_whole(platform::name_from_fs(path), text);
  }
  return error;
}

void sort_newest_first(std::vector<std::string>& names, const std::string& suffix) {
  std::sort(names.begin(), names.end(), [&suffix](const std::string& a, const std::string& b) {
    return stamped_order(a, suffix) > stamped_order(b, suffix);
  });
}

std::vector<std::string> journal_paths() {
  std::string folder;
  if (platform::state_folder("journal", folder) != 0) return {};
  std::vector<std::string> names;
  for (const std::string& name : platform::regular_files_in(folder)) {
    if (is_journal_name(name)) names.push_back(name);
  }
  sort_newest_first(names, kSuffix);
  for (std::string& name : names) name = folder + "/" + name;
  return names;
}

bool is_journal_of(const std::string& journal_path, const std::string& folder) {
  const std::string name = platform::base_of(journal_path);
  const std::string part = "-" + name_part(folder);
  return is_journal_name(name) && name.compare(kStampSize, part.size(), part) == 0;
}

void prune_journals(int64_t now, const std::vector<std::string>& keep) {
  const std::string oldest_kept = stamp(now - kKeepSeconds);
  const std::vector<std::string> paths = journal_paths();
  for (size_t i = 0; i < paths.size(); ++i) {
    const std::string name = platform::base_of(paths[i]);
    const bool kept = std::find(keep.begin(), keep.end(), paths[i]) != keep.end();
    if ((i >= kKeepNewest && !kept) || name.compare(0, kStampSize, oldest_kept) < 0) {
      platform::remove_file(paths[i]);
    }
  }
}

bool audio_hash_of(const std::string& name, std::string& hash, std::string* v2, std::string* v1) {
  FileTags tags;
  if (!read_file_tags(name, tags)) {
    uint64_t size = 0;
    if (v2 != nullptr) v2->clear();
    if (v1 != nullptr) v1->clear();
    return platform::regular_file_size(name, size) && hash_range(name, 0, size, hash);
  }
  if (v2 != nullptr) *v2 = tags.v2;
  if (v1 != nullptr) *v1 = tags.v1;
  const Id3Layout& layout = tags.layout;
  return hash_range(name, layout.audio_begin(), layout.audio_end() - layout.audio_begin(), hash);
}

std::string tags_hash_of(const std::string& name) {
  FileTags tags;
  if (!read_file_tags(name, tags)) return std::string();
  return content_hash(tags.v2 + tags.v1);
}

// The audio of one file as far as the copy has read it.
struct FinishJournal::Hashing {
  Hashing() : state(XXH3_createState()) {
    if (state != nullptr) XXH3_128bits_reset(state);
  }
  ~Hashing() { XXH3_freeState(state); }
  Hashing(const Hashing&) = delete;
  Hashing& operator=(const Hashing&) = delete;

  XXH3_state_t* state;
  int64_t expected = -1;  // the audio's length, -1 when the file has no tags to place
  int64_t seen = 0;
};

FinishJournal::FinishJournal() = default;
FinishJournal::~FinishJournal() = default;

void FinishJournal::start(const std::string& folder_before, const std::string& folder_after,
                          const std::vector<std::string>& old_names,
                          const std::vector<std::string>& new_names) {
  journal_.time = static_cast<int64_t>(std::time(nullptr));
  journal_.folder_before = folder_before;
  journal_.folder_after = folder_after;
  platform::FolderIdentity identity;
  journal_.has_folder_id = platform::folder_identity(".", identity);
  journal_.folder_device = identity.device;
  journal_.folder_inode = identity.inode;
  for (size_t i = 0; i < old_names.size(); ++i) {
    JournalFile file;
    file.old_name = old_names[i];
    file.new_name = i < new_names.size() ? new_names[i] : old_names[i];
    auto hashing = std::make_unique<Hashing>();
    FileTags tags;
    if (read_file_tags(file.old_name, tags)) {
      file.old_v2 = tags.v2;
      file.old_v1 = tags.v1;
      hashing->expected = static_cast<int64_t>(tags.layout.audio_end() - tags.layout.audio_begin());
    }
    journal_.files.push_back(file);
    hashing_.push_back(std::move(hashing));
  }
}

platform::FilePiece::Reader FinishJournal::audio_reader(size_t i) {
  if (i >= hashing_.size() || hashing_[i]->state == nullptr) return nullptr;
  Hashing* hashing = hashing_[i].get();
  return [hashing](const char* data, size_t size) {
    XXH3_128bits_update(hashing->state, data, size);
    hashing->seen += static_cast<int64_t>(size);
  };
}

int FinishJournal::write() {
  for (size_t i = 0; i < journal_.files.size(); ++i) {
    JournalFile& file = journal_.files[i];
    const Hashing& hashing = *hashing_[i];
    if (hashing.state != nullptr && hashing.expected >= 0 && hashing.seen == hashing.expected) {
      file.audio_hash = digits_of(XXH3_128bits_digest(hashing.state));
      continue;
    }
    std::string v2, v1;
    if (!audio_hash_of(file.old_name, file.audio_hash, &v2, &v1) || v2 != file.old_v2 ||
        v1 != file.old_v1) {
      return EIO;  // unreadable, or changed since its tags were read
    }
  }
  hashing_.clear();
  std::string folder;
  int error = platform::state_folder("journal", folder);
  if (error != 0) return error;
  written_ = journal_plan_text(journal_);
  const std::string base =
      folder + "/" + stamp(journal_.time) + "-" + name_part(journal_.folder_after);
  error = create_stamped_file(base, kSuffix, written_, path_);
  // The old tags are in the file now; the result needs only the names.
  for (JournalFile& file : journal_.files) {
    file.old_v2.clear();
    file.old_v1.clear();
  }
  return error;
}

bool FinishJournal::will_write(const std::string& name, const std::string& new_hash) {
  JournalWrite write;
  write.name = name;
  write.new_hash = new_hash;
  const platform::EntryKind kind = platform::entry_kind(name);
  if (kind == platform::EntryKind::kOther) return false;
  if (kind == platform::EntryKind::kRegular) {
    uint64_t size = 0;
    if (!platform::regular_file_size(name, size) || size > kLargestKept ||
        !platform::read_entry(name, write.old_bytes)) {
      return false;
    }
    write.had_old = true;
  }
  journal_.writes.push_back(write);
  return true;
}

void FinishJournal::file_result(size_t i, bool moved) {
  if (i >= journal_.files.size()) return;
  JournalFile& file = journal_.files[i];
  file.moved = moved;
  file.tags_hash = tags_hash_of(moved ? file.new_name : file.old_name);
}

void FinishJournal::created(const std::string& name) {
  std::string bytes;
  if (!platform::read_entry(name, bytes)) return;
  journal_.created.push_back({name, content_hash(bytes)});
}

void FinishJournal::folder_result(bool moved) { journal_.folder_moved = moved; }

int FinishJournal::finish() {
  return platform::append_durably(path_, journal_result_text(written_, journal_));
}

std::string FinishJournal::path() const { return platform::name_from_fs(path_); }

bool read_journal(const std::string& path, Journal& journal, std::string& why, std::string* text) {
  std::string read;
  if (!platform::read_whole_file(platform::name_from_fs(path), read) ||
      !parse_journal(read, journal, why)) {
    return false;
  }
  if (text != nullptr) *text = std::move(read);
  return true;
}
