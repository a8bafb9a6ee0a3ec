#pragma once
// The options that reach the journal: --undo FOLDER and --history [FOLDER].

// Runs the option when the command line holds one and sets the exit
// status; false when it holds none, and the run goes on as usual.
bool run_journal_option(int argc, const char* const* argv, int& status);
