#include "platform/term/line_editor.h"

#include <editline/readline.h>

#include <cctype>
#include <clocale>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace term {
namespace {

std::string lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

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
  rl_attempted_completion_over = 1;  // never file names
  if (g_commands == nullptr) return nullptr;
  const std::string typed(rl_line_buffer, static_cast<size_t>(start));
  g_candidates = complete_word(*g_commands, typed, text);
  if (g_candidates.empty()) return nullptr;
  return rl_completion_matches(text, next_candidate);
}

void set_up(FILE* in, FILE* out) {
  static bool done = false;
  if (done) return;
  done = true;
  rl_instream = in;
  rl_outstream = out;
  rl_readline_name = "plinth";
  rl_attempted_completion_function = complete;
  static char breaks[] = " \t";
  rl_completer_word_break_characters = breaks;
  rl_initialize();
}

}  // namespace

std::vector<std::string> complete_word(const std::vector<std::string>& commands,
                                       const std::string& typed, const std::string& text) {
  const std::string before = lowered(typed);
  const std::string word = lowered(text);
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

bool edit_line(FILE* in, FILE* out, const std::string& prompt,
               const std::vector<std::string>& commands, std::string& line) {
  // Characters are read and shown in the user's own encoding only here;
  // the rest of the program keeps the locale it has.
  const std::string locale = std::setlocale(LC_CTYPE, nullptr);
  std::setlocale(LC_CTYPE, "");
  set_up(in, out);
  g_commands = &commands;
  char* read = readline(prompt.c_str());
  g_commands = nullptr;
  std::setlocale(LC_CTYPE, locale.c_str());
  if (read == nullptr) return false;
  line = read;
  std::free(read);
  if (!line.empty()) add_history(line.c_str());
  return true;
}

}  // namespace term
}  // namespace platform
