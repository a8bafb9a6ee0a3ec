#pragma once
// The options of the library run: plinth --batch [--dry-run] FOLDER...,
// and plinth --undo --batch, which takes the last one back.

// Runs the option when the command line names one and sets the exit
// status; false when it names none.
bool run_batch_option(int argc, const char* const* argv, int& status);
