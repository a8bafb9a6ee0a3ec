#include "output/journal/journal_format.h"

#include <xxhash.h>

#include <cstdint>
#include <cstdio>

#include "output/tags/id3_layout.h"
#include "platform/codepage.h"
#include "platform/files/album_entries.h"
#include "platform/paths.h"

namespace {

const char kHeader[] = "plinth journal 2\n";
const char kHeaderVersion1[] = "plinth journal 1\n";
constexpr size_t kHashDigits = 32;
// An empty file that was there, where "-" says that none was.
const char kEmpty[] = ".";

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string hex(const std::string& bytes) { return bytes.empty() ? "-" : lower_hex(bytes); }

bool unhex(const std::string& text, std::string& bytes) {
  bytes.clear();
  if (text == "-") return true;
  return !text.empty() && from_lower_hex(text, bytes);
}

std::string check_of(const std::string& text) {
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx",
                static_cast<unsigned long long>(XXH3_64bits(text.data(), text.size())));
  return digits;
}

std::string with_check(const std::string& before, std::string section) {
  return section + "check " + check_of(before + section) + "\n";
}

bool is_number(const std::string& text, int64_t& value) {
  if (text.empty() || text.size() > 18) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

bool is_unsigned(const std::string& text, uint64_t& value) {
  if (text.empty() || text.size() > 20) return false;
  value = 0;
  for (const char c : text) {
    const auto digit = static_cast<uint64_t>(c - '0');
    if (c < '0' || c > '9' || value > (UINT64_MAX - digit) / 10) return false;
    value = value * 10 + digit;
  }
  return true;
}

bool is_hash(const std::string& text) {
  if (text.size() != kHashDigits) return false;
  for (const char c : text) {
    if (hex_value(c) < 0) return false;
  }
  return true;
}

std::vector<std::string> tokens_of(const std::string& line) {
  std::vector<std::string> tokens;
  size_t start = 0;
  for (;;) {
    const size_t blank = line.find(' ', start);
    tokens.push_back(line.substr(start, blank - start));
    if (blank == std::string::npos) return tokens;
    start = blank + 1;
  }
}

// One entry of the folder, as the file system will see the name.
bool is_entry_name(const std::string& name) {
  return platform::entry_component_refusal(name).empty();
}

// A name the run wrote a file under: it passed the check for names from
// the database.
bool is_written_name(const std::string& name) {
  return !name.empty() && platform::entry_name_refusal(name).empty();
}

// An absolute path with no empty, "." or ".." component, judged on the
// file system's bytes: an escape in a component must not hide a '/'.
bool is_plain_path(const std::string& path) {
  if (path.size() < 2 || path[0] != '/') return false;
  const std::string bytes = platform::fs_name(path);
  size_t start = 1;
  for (;;) {
    const size_t slash = bytes.find('/', start);
    const std::string component = bytes.substr(start, slash - start);
    if (component.empty() || component == "." || component == ".." ||
        component.find('\0') != std::string::npos) {
      return false;
    }
    if (slash == std::string::npos) return true;
    start = slash + 1;
  }
}

// The sections in the order they come; the undone section may follow the
// plan directly, when a run cut short was taken back.
enum class Section { kPlan, kAfterPlan, kResult, kAfterResult, kUndone, kEnd };

class Reader {
 public:
  Reader(const std::string& text, Journal& journal) : text_(text), journal_(journal) {}

  bool read(std::string& why) {
    if (text_.compare(0, sizeof kHeader - 1, kHeader) == 0) {
      journal_.version = 2;
    } else if (text_.compare(0, sizeof kHeaderVersion1 - 1, kHeaderVersion1) == 0) {
      journal_.version = 1;
    } else {
      why = "it is not a journal of this program";
      return false;
    }
    position_ = text_.find('\n') + 1;
    while (position_ < text_.size()) {
      const size_t end = text_.find('\n', position_);
      if (end == std::string::npos) return fail(why, "its last line is cut");
      const std::string line = text_.substr(position_, end - position_);
      const std::vector<std::string> tokens = tokens_of(line);
      ++line_;
      if (tokens[0] == "check") {
        if (tokens.size() != 2 || tokens[1] != check_of(text_.substr(0, position_))) {
          return fail(why, "its check does not match what it holds");
        }
        if (!end_section(why)) return false;
      } else if (!record(tokens, why)) {
        return false;
      }
      position_ = end + 1;
    }
    if (section_ == Section::kPlan) return fail(why, "it ends before its check");
    return true;
  }

 private:
  bool fail(std::string& why, const std::string& reason) {
    why = reason + " (line " + std::to_string(line_ + 1) + ")";
    return false;
  }

  // The section a record of this kind opens or continues.
  void enter(const std::string& kind) {
    if (section_ == Section::kAfterPlan) {
      section_ = kind == "undone" ? Section::kUndone : Section::kResult;
    } else if (section_ == Section::kAfterResult) {
      section_ = Section::kUndone;
    }
  }

  bool record(const std::vector<std::string>& t, std::string& why) {
    const std::string& kind = t[0];
    enter(kind);
    if (section_ == Section::kPlan) return plan_record(t, why);
    if (section_ == Section::kResult) return result_record(t, why);
    if (section_ == Section::kUndone && kind == "undone" && t.size() == 2 && !journal_.undone &&
        is_number(t[1], journal_.undone_time)) {
      journal_.undone = true;
      return true;
    }
    return fail(why, "it holds a line this program does not write");
  }

  bool plan_record(const std::vector<std::string>& t, std::string& why) {
    const std::string& kind = t[0];
    const bool version_2 = journal_.version >= 2;
    if (kind == "time" && t.size() == 2 && !has_time_ && is_number(t[1], journal_.time)) {
      has_time_ = true;
      return true;
    }
    if (kind == "folder" && t.size() == 3 && !has_folder_) {
      has_folder_ = true;
      return (unhex(t[1], journal_.folder_before) && unhex(t[2], journal_.folder_after)) ||
             fail(why, "a folder is not written as it should be");
    }
    if (version_2 && kind == "folder-id" && t.size() == 3 && !journal_.has_folder_id) {
      journal_.has_folder_id = true;
      return (is_unsigned(t[1], journal_.folder_device) &&
              is_unsigned(t[2], journal_.folder_inode)) ||
             fail(why, "the folder's identity is not written as it should be");
    }
    if (kind == "file" && t.size() == 6) return file(t, why);
    if (version_2 && kind == "writes" && t.size() == 4) return write(t, why);
    return fail(why, "it holds a line this program does not write");
  }

  bool result_record(const std::vector<std::string>& t, std::string& why) {
    const std::string& kind = t[0];
    if (kind == "result" && t.size() == 4) return result(t, why);
    if (kind == "folder-moved" && t.size() == 2 && (t[1] == "0" || t[1] == "1")) {
      journal_.folder_moved = t[1] == "1";
      return true;
    }
    if (kind == "created" && t.size() == 3) {
      JournalCreated created;
      if (!unhex(t[1], created.name) || !is_written_name(created.name) || !is_hash(t[2])) {
        return fail(why, "it names a created file outside its folder");
      }
      created.content_hash = t[2];
      journal_.created.push_back(created);
      return true;
    }
    return fail(why, "it holds a line this program does not write");
  }

  bool file(const std::vector<std::string>& t, std::string& why) {
    JournalFile file;
    if (!unhex(t[1], file.old_name) || !unhex(t[2], file.new_name) ||
        !is_entry_name(file.old_name) || !is_entry_name(file.new_name)) {
      return fail(why, "it names a file outside its folder");
    }
    if (!is_hash(t[3]) || !unhex(t[4], file.old_v2) || !unhex(t[5], file.old_v1)) {
      return fail(why, "a file's record is not written as it should be");
    }
    file.audio_hash = t[3];
    // The old tags go back at the file's ends: they must be tags.
    if ((!file.old_v2.empty() &&
         id3v2_tag_size(file.old_v2) != static_cast<int64_t>(file.old_v2.size())) ||
        (!file.old_v1.empty() && !is_id3v1(file.old_v1))) {
      return fail(why, "a file's old tag is not a tag");
    }
    journal_.files.push_back(file);
    return true;
  }

  bool write(const std::vector<std::string>& t, std::string& why) {
    JournalWrite write;
    if (!unhex(t[1], write.name) || !is_written_name(write.name)) {
      return fail(why, "it names a written file outside its folder");
    }
    write.had_old = t[3] != "-";
    if (!is_hash(t[2]) || (t[3] != kEmpty && !unhex(t[3], write.old_bytes))) {
      return fail(why, "a written file's record is not written as it should be");
    }
    write.new_hash = t[2];
    journal_.writes.push_back(write);
    return true;
  }

  bool result(const std::vector<std::string>& t, std::string& why) {
    int64_t number = 0;
    if (!is_number(t[1], number) || number >= static_cast<int64_t>(journal_.files.size()) ||
        (t[2] != "0" && t[2] != "1") || (t[3] != "-" && !is_hash(t[3]))) {
      return fail(why, "a result is not written as it should be");
    }
    JournalFile& file = journal_.files[static_cast<size_t>(number)];
    if (file.result_known) return fail(why, "a file has two results");
    file.result_known = true;
    file.moved = t[2] == "1";
    if (t[3] != "-") file.tags_hash = t[3];
    return true;
  }

  bool end_section(std::string& why) {
    switch (section_) {
      case Section::kPlan:
        section_ = Section::kAfterPlan;
        return end_plan(why);
      case Section::kResult:
        for (const JournalFile& file : journal_.files) {
          if (!file.result_known) return fail(why, "a file has no result");
        }
        journal_.result_known = true;
        section_ = Section::kAfterResult;
        return true;
      case Section::kUndone:
        section_ = Section::kEnd;
        return true;
      default:
        return fail(why, "it holds a section this program does not write");
    }
  }

  bool end_plan(std::string& why) {
    if (!has_time_ || !has_folder_) return fail(why, "it lacks its time or its folder");
    const std::string& before = journal_.folder_before;
    const std::string& after = journal_.folder_after;
    if (!is_plain_path(before) || !is_plain_path(after) ||
        platform::folder_of(platform::fs_name(before)) !=
            platform::folder_of(platform::fs_name(after))) {
      return fail(why, "its folder is not one folder renamed in its place");
    }
    return true;
  }

  const std::string& text_;
  Journal& journal_;
  size_t position_ = 0;
  int line_ = 0;
  Section section_ = Section::kPlan;
  bool has_time_ = false;
  bool has_folder_ = false;
};

}  // namespace

std::string lower_hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

bool from_lower_hex(const std::string& text, std::string& bytes) {
  bytes.clear();
  if (text.size() % 2 != 0) return false;
  bytes.reserve(text.size() / 2);
  for (size_t i = 0; i < text.size(); i += 2) {
    const int high = hex_value(text[i]);
    const int low = hex_value(text[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes += static_cast<char>(high * 16 + low);
  }
  return true;
}

std::string content_hash(const std::string& bytes) {
  const XXH128_hash_t hash = XXH3_128bits(bytes.data(), bytes.size());
  char digits[kHashDigits + 1];
  std::snprintf(digits, sizeof digits, "%016llx%016llx",
                static_cast<unsigned long long>(hash.high64),
                static_cast<unsigned long long>(hash.low64));
  return digits;
}

std::string journal_plan_text(const Journal& journal) {
  std::string text = kHeader;
  text += "time " + std::to_string(journal.time) + "\n";
  text += "folder " + hex(journal.folder_before) + " " + hex(journal.folder_after) + "\n";
  if (journal.has_folder_id) {
    text += "folder-id " + std::to_string(journal.folder_device) + " " +
            std::to_string(journal.folder_inode) + "\n";
  }
  for (const JournalFile& file : journal.files) {
    text += "file " + hex(file.old_name) + " " + hex(file.new_name) + " " + file.audio_hash + " " +
            hex(file.old_v2) + " " + hex(file.old_v1) + "\n";
  }
  for (const JournalWrite& write : journal.writes) {
    // An empty file that was there still counts: "-" would say none was.
    const std::string old_bytes = !write.had_old            ? "-"
                                  : write.old_bytes.empty() ? kEmpty
                                                            : hex(write.old_bytes);
    text += "writes " + hex(write.name) + " " + write.new_hash + " " + old_bytes + "\n";
  }
  return with_check(std::string(), text);
}

std::string journal_result_text(const std::string& before, const Journal& journal) {
  std::string text;
  for (size_t i = 0; i < journal.files.size(); ++i) {
    const JournalFile& file = journal.files[i];
    text += "result " + std::to_string(i) + (file.moved ? " 1 " : " 0 ") +
            (file.tags_hash.empty() ? "-" : file.tags_hash) + "\n";
  }
  text += std::string("folder-moved ") + (journal.folder_moved ? "1" : "0") + "\n";
  for (const JournalCreated& created : journal.created) {
    text += "created " + hex(created.name) + " " + created.content_hash + "\n";
  }
  return with_check(before, text);
}

std::string journal_undone_text(const std::string& before, int64_t time) {
  return with_check(before, "undone " + std::to_string(time) + "\n");
}

bool parse_journal(const std::string& text, Journal& journal, std::string& why) {
  journal = Journal();
  return Reader(text, journal).read(why);
}
