#pragma once
// The run: one folder of MP3 files, from the command line to the pages.
#include <string>
#include <vector>

#include "model/local_track.h"

// What the process hands the run (Windows-1252 text, see platform/codepage.h).
struct RunArguments {
  std::string command_line;  // the program path and its arguments, for the log
  std::string folder;        // the folder to process, absolute; empty if none
};

// Runs the program over the folder. Always returns 0, error boxes included.
int run_plinth(const RunArguments& arguments);

// The folder argument of a command line as Windows hands it over: what
// follows the first blank after ".exe", or the whole line when there is no
// such blank, with every double quote removed.
std::string folder_from_command_line(const std::string& command_line);

// The text after the last '/' (all of it when there is none).
std::string folder_name_of(const std::string& directory);

// Lower case, no tabs or line breaks, '_' as blank.
void clean_folder_name(std::string& name);

// The candidates the cleaned folder name gives, in order.
std::vector<std::string> folder_candidates(const std::string& clean_name);

// Adds the artist, title and album of each track to g_terms.
void add_tag_candidates(const std::vector<LocalTrack>& tracks);
