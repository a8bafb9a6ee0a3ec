#include "app/lookup/candidates.h"

#include "common/text.h"
#include "model/run_state.h"

namespace {

void clean_candidate(std::string& piece) {
  strip_leading(piece, ' ');
  squeeze_blanks(piece);
  to_lower(piece);
  capitalize_words(piece, " ");
  strip_trailing(piece, ' ');
}

}  // namespace

void clean_folder_name(std::string& name) {
  to_lower(name);
  remove_tabs_and_breaks(name);
  replace_char(name, '_', ' ');
}

std::vector<std::string> folder_candidates(const std::string& clean_name) {
  std::vector<std::string> pieces;
  split_any(pieces, clean_name, "[]()-");
  // An emptied piece restarts the pass from the first piece, so the pieces
  // before it are cleaned again (a run of blanks is squeezed once more).
  size_t i = 0;
  while (i < pieces.size()) {
    clean_candidate(pieces[i]);
    if (pieces[i].empty()) {
      pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(i));
      i = 0;
    } else {
      ++i;
    }
  }
  return pieces;
}

void add_tag_candidates(const std::vector<LocalTrack>& tracks) {
  for (const LocalTrack& track : tracks) {
    for (const std::string* field : {&track.artist, &track.title, &track.album}) {
      if (field->empty()) continue;
      std::string term = *field;
      to_lower(term);
      capitalize_words(term, " ");
      g_terms.add_term(term);
    }
  }
}
