#include "output/journal_format.h"

#include <xxhash.h>

#include <cstdio>

#include "output/id3_layout.h"

namespace {

const char kHeader[] = "plinth journal 1\n";
const char kHexDigits[] = "0123456789abcdef";
constexpr size_t kHashDigits = 32;

std::string hex(const std::string& bytes) {
  if (bytes.empty()) return "-";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    text += kHexDigits[b >> 4];
    text += kHexDigits[b & 15];
  }
  return text;
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool unhex(const std::string& text, std::string& bytes) {
  bytes.clear();
  if (text == "-") return true;
  if (text.empty() || text.size() % 2 != 0) return false;
  bytes.reserve(text.size() / 2);
  for (size_t i = 0; i < text.size(); i += 2) {
    const int high = hex_value(text[i]);
    const int low = hex_value(text[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes += static_cast<char>(high * 16 + low);
  }
  return true;
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

// An absolute path with no empty, "." or ".." component.
bool is_plain_path(const std::string& path) {
  if (path.size() < 2 || path[0] != '/') return false;
  size_t start = 1;
  for (;;) {
    const size_t slash = path.find('/', start);
    if (!is_plain_name(path.substr(start, slash - start))) return false;
    if (slash == std::string::npos) return true;
    start = slash + 1;
  }
}

std::string parent_of(const std::string& path) { return path.substr(0, path.rfind('/')); }

class Reader {
 public:
  Reader(const std::string& text, Journal& journal) : text_(text), journal_(journal) {}

  bool read(std::string& why) {
    if (text_.compare(0, sizeof kHeader - 1, kHeader) != 0) {
      why = "it is not a journal of this program";
      return false;
    }
    position_ = sizeof kHeader - 1;
    int section = 0;  // 0 plan, 1 result, 2 undone, 3 past the end
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
        if (!end_section(section, why)) return false;
        ++section;
      } else if (!record(section, tokens, why)) {
        return false;
      }
      position_ = end + 1;
    }
    if (section == 0) return fail(why, "it ends before its check");
    return true;
  }

 private:
  bool fail(std::string& why, const std::string& reason) {
    why = reason + " (line " + std::to_string(line_ + 1) + ")";
    return false;
  }

  bool record(int section, const std::vector<std::string>& t, std::string& why) {
    const std::string& kind = t[0];
    if (section == 0 && kind == "time" && t.size() == 2 && !has_time_ &&
        is_number(t[1], journal_.time)) {
      has_time_ = true;
      return true;
    }
    if (section == 0 && kind == "folder" && t.size() == 3 && !has_folder_) {
      has_folder_ = true;
      return (unhex(t[1], journal_.folder_before) && unhex(t[2], journal_.folder_after)) ||
             fail(why, "a folder is not written as it should be");
    }
    if (section == 0 && kind == "file" && t.size() == 6) return file(t, why);
    if (section == 1 && kind == "result" && t.size() == 4) return result(t, why);
    if (section == 1 && kind == "folder-moved" && t.size() == 2 && (t[1] == "0" || t[1] == "1")) {
      journal_.folder_moved = t[1] == "1";
      return true;
    }
    if (section == 1 && kind == "created" && t.size() == 3) {
      JournalCreated created;
      if (!unhex(t[1], created.name) || !is_plain_name(created.name) || !is_hash(t[2])) {
        return fail(why, "it names a created file outside its folder");
      }
      created.content_hash = t[2];
      journal_.created.push_back(created);
      return true;
    }
    if (section == 2 && kind == "undone" && t.size() == 2 && !journal_.undone &&
        is_number(t[1], journal_.undone_time)) {
      journal_.undone = true;
      return true;
    }
    return fail(why, "it holds a line this program does not write");
  }

  bool file(const std::vector<std::string>& t, std::string& why) {
    JournalFile file;
    if (!unhex(t[1], file.old_name) || !unhex(t[2], file.new_name) ||
        !is_plain_name(file.old_name) || !is_plain_name(file.new_name)) {
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

  bool end_section(int section, std::string& why) {
    if (section == 0) {
      if (!has_time_ || !has_folder_) return fail(why, "it lacks its time or its folder");
      const std::string& before = journal_.folder_before;
      const std::string& after = journal_.folder_after;
      if (!is_plain_path(before) || !is_plain_path(after) ||
          parent_of(before) != parent_of(after)) {
        return fail(why, "its folder is not one folder renamed in its place");
      }
      return true;
    }
    if (section == 1) {
      for (const JournalFile& file : journal_.files) {
        if (!file.result_known) return fail(why, "a file has no result");
      }
      journal_.result_known = true;
      return true;
    }
    if (section == 2 && journal_.undone) return true;
    return fail(why, "it holds a section this program does not write");
  }

  const std::string& text_;
  Journal& journal_;
  size_t position_ = 0;
  int line_ = 0;
  bool has_time_ = false;
  bool has_folder_ = false;
};

}  // namespace

bool is_plain_name(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (const char c : name) {
    const auto b = static_cast<unsigned char>(c);
    if (b == '/' || b < 0x20 || b == 0x7F) return false;
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
  for (const JournalFile& file : journal.files) {
    text += "file " + hex(file.old_name) + " " + hex(file.new_name) + " " + file.audio_hash + " " +
            hex(file.old_v2) + " " + hex(file.old_v1) + "\n";
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
