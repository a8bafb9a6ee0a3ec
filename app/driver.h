#pragma once
// The run: one folder of MP3 files, from the command line to the pages.
#include <string>

// What the process hands the run (Windows-1252 text, see platform/codepage.h).
struct RunArguments {
  std::string command_line;        // the program path and its arguments, for the log
  std::string folder;              // the folder to process, absolute; empty if none
  std::string program = "plinth";  // the program path as it was started
};

// The settings the registry names, else the defaults after an error box.
void load_user_settings();

// Runs the program over the folder. Returns 0, error boxes included, or 3
// when the database token that was set cannot be used.
int run_plinth(const RunArguments& arguments);
