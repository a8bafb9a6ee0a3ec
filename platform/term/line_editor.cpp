#include "platform/term/line_editor.h"

#include <clocale>
#include <cstdlib>
#include <cstring>

#include "platform/codepage.h"
#include "platform/term/edit_library.h"

namespace platform {
namespace term {
namespace {

// The editing library calls back without any context of ours, so the
// current page's completions wait here while a line is read.
std::vector<std::string> g_candidates;

char* next_candidate(const char*, int state) {
  static size_t next = 0;
  if (state == 0) next = 0;
  if (next >= g_candidates.size()) return nullptr;
  return strdup(g_candidates[next++].c_str());
}

const std::vector<std::string>* g_commands = nullptr;

char** complete(const char* text, int start, int) {
  const EditLibrary& edit = *edit_library();
  *edit.attempted_completion_over = 1;  // never file names
  if (g_commands == nullptr) return nullptr;
  const std::string typed(*edit.line_buffer, static_cast<size_t>(start));
  g_candidates = complete_word(*g_commands, typed, text);
  if (g_candidates.empty()) return nullptr;
  return edit.completion_matches(text, next_candidate);
}

void set_up(const EditLibrary& edit, FILE* in, FILE* out) {
  static bool done = false;
  if (done) return;
  done = true;
  *edit.instream = in;
  *edit.outstream = out;
  *edit.readline_name = "plinth";
  *edit.attempted_completion_function = complete;
  static char breaks[] = " \t";
  *edit.word_break_characters = breaks;
  edit.initialize();
}

}  // namespace

std::vector<std::string> complete_word(const std::vector<std::string>& commands,
                                       const std::string& typed, const std::string& text) {
  const std::string before = ascii_lower(typed);
  const std::string word = ascii_lower(text);
  std::vector<std::string> found;
  for (const std::string& command : commands) {
    if (command.compare(0, before.size(), before) != 0) continue;
    const std::string rest = command.substr(before.size());
    if (rest.compare(0, word.size(), word) != 0) continue;
    const std::string completion = rest.substr(0, rest.find(' ', word.size()));
    bool seen = false;
    for (const std::string& other : found) seen = seen || other == completion;
    if (!seen) found.push_back(completion);
  }
  return found;
}

bool line_editing_available() { return edit_library() != nullptr; }

bool edit_line(FILE* in, FILE* out, const std::string& prompt,
               const std::vector<std::string>& commands, std::string& line) {
  // Characters are read and shown in the user's own encoding only here;
  // the rest of the program keeps the locale it has.
  const std::string locale = std::setlocale(LC_CTYPE, nullptr);
  std::setlocale(LC_CTYPE, "");
  const EditLibrary& edit = *edit_library();
  set_up(edit, in, out);
  g_commands = &commands;
  char* read = edit.readline(prompt.c_str());
  g_commands = nullptr;
  std::setlocale(LC_CTYPE, locale.c_str());
  if (read == nullptr) return false;
  line = read;
  std::free(read);
  return true;
}

void remember_line(const std::string& line) {
  if (!line.empty() && line_editing_available()) edit_library()->add_history(line.c_str());
}

}  // namespace term
}  // namespace platform
