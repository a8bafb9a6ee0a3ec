#pragma once
// The run from the candidates on: the search-term page, the search, the
// release (chosen on its page, or read straight from a typed address), the
// preview of the new names and the match confirmation page, whose "Finish!"
// names and tags the files. Returns when the run ends, by any page or stage.
void run_wizard();
