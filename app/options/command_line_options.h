#pragma once
// The options the program takes instead of a folder, after the journal's
// own (--undo, --history). An argument list that begins with '-' is an
// option; a folder whose name begins with '-' is given as ./-name.

// Runs the option that the arguments name, writing to standard output or
// standard error. True when they named one (known or not): the process then
// ends with exit_status. False when they name a folder to process.
bool run_command_line_option(int argc, const char* const* argv, int& exit_status);
