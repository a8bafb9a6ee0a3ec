#include "platform/term/edit_library.h"

#include <dlfcn.h>

#include "platform/library_symbol.h"

namespace platform {
namespace term {
namespace {

// The soname of every libedit build of the last twenty years.
constexpr char kSoname[] = "libedit.so.2";

bool resolve_all(void* handle, EditLibrary& edit) {
  return resolve_symbol(handle, "readline", edit.readline) &&
         resolve_symbol(handle, "rl_initialize", edit.initialize) &&
         resolve_symbol(handle, "add_history", edit.add_history) &&
         resolve_symbol(handle, "rl_completion_matches", edit.completion_matches) &&
         resolve_symbol(handle, "rl_instream", edit.instream) &&
         resolve_symbol(handle, "rl_outstream", edit.outstream) &&
         resolve_symbol(handle, "rl_readline_name", edit.readline_name) &&
         resolve_symbol(handle, "rl_line_buffer", edit.line_buffer) &&
         resolve_symbol(handle, "rl_completer_word_break_characters", edit.word_break_characters) &&
         resolve_symbol(handle, "rl_attempted_completion_function",
                        edit.attempted_completion_function) &&
         resolve_symbol(handle, "rl_attempted_completion_over", edit.attempted_completion_over);
}

// Never unloaded: the terminal's settings and the history live in it.
const EditLibrary* load() {
  static EditLibrary edit;
  void* handle = ::dlopen(kSoname, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr || !resolve_all(handle, edit)) return nullptr;
  return &edit;
}

}  // namespace

const EditLibrary* edit_library() {
  static const EditLibrary* const library = load();
  return library;
}

}  // namespace term
}  // namespace platform
