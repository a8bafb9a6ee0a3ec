#include <cstddef>
#include <cstdint>
#include <string>

#include "output/journal_format.h"

// A journal that is accepted names only files inside its folder, and what
// it holds written out again is accepted as well.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  Journal journal;
  std::string why;
  if (!parse_journal(text, journal, why)) {
    if (why.empty()) __builtin_trap();
    return 0;
  }
  for (const JournalFile& file : journal.files) {
    if (!is_plain_name(file.old_name) || !is_plain_name(file.new_name)) __builtin_trap();
  }
  Journal again;
  if (!parse_journal(journal_plan_text(journal), again, why)) __builtin_trap();
  if (again.files.size() != journal.files.size()) __builtin_trap();
  return 0;
}
