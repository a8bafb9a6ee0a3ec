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

// The exit statuses a script can read.
constexpr int kExitDone = 0;          // the run finished ("Done!")
constexpr int kExitCancelled = 1;     // a page was cancelled or closed; nothing changed
constexpr int kExitUsage = 2;         // no folder, a missing folder, an unknown option
constexpr int kExitCouldNotGoOn = 3;  // no connection, a refusal, a bad token, nothing writable

// Runs the program over the folder and returns its exit status.
int run_plinth(const RunArguments& arguments);
