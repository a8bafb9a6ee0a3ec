#include "app/options/command_line_options.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/lookup/api_source.h"
#include "platform/codepage.h"
#include "platform/registry/registry.h"
#include "platform/trace.h"

namespace {

std::string usage() {
  std::string text =
      "Usage: plinth FOLDER\n"
      "       plinth -- FOLDER          a FOLDER whose name begins with '-'\n"
      "       plinth --undo FOLDER      take the last Finish! in FOLDER back\n"
      "       plinth --history [FOLDER] list the runs the journal holds\n"
      "       plinth --batch [--dry-run] FOLDER...\n"
      "                                 tag every album folder below, unattended\n"
      "       plinth --undo --batch     take the last --batch run back\n"
      "       plinth --help | --version\n"
      "\n"
      "Names and tags the MP3 files in FOLDER from the Discogs web music database,\n"
      "then names the folder after the release. The arguments are joined by blanks\n"
      "into one folder (double quotes in them are dropped unless the folder's name\n"
      "holds them); a folder whose name begins with '-' is given as ./-name or after\n"
      "'--'. Later versions may add options to this list.\n"
      "\n"
      "--batch takes every folder that directly holds *.mp3 files as an album and\n"
      "tags it through the database's API (a token is needed, see below) only where\n"
      "its files leave no doubt which release it is; any other album is left as it\n"
      "is, with the reason, for a run of the wizard. --dry-run changes nothing.\n"
      "\n"
      "The pages show as windows when there is a display, else in the terminal,\n"
      "where each page takes one command a line:\n"
      "  3, release 3        select a line of the page's list\n"
      "  next, cancel, ...   press the button or menu item of that name (a unique\n"
      "                      beginning is enough: 'man' for Manual Search)\n"
      "  = text              type into the page's text field\n"
      "  track = text        type into the field of that name (Filenames page)\n"
      "  back                the page before (<< Back)\n"
      "  help                the commands of the page\n"
      "  Enter               the page's default button; Yes to a question\n"
      "  Ctrl-D              close the page, as the window's close box does\n"
      "\n"
      "Exit status:\n"
      "  0  the run finished (\"Done!\"), or the option did its job\n"
      "  1  a page was cancelled or closed, or the input ended: nothing changed\n"
      "  2  usage: no folder, a missing folder, an unknown option\n"
      "  3  the run could not go on: no connection, a refusal, a bad token, a\n"
      "     folder that cannot be written\n"
      "\n"
      "Files:\n";
  const std::vector<std::string> registry = platform::registry_file_paths();
  text += "  settings   the file that the first of these registry files names:\n";
  for (const std::string& path : registry) text += "               " + path + "\n";
  text += "  token      $DISCOGS_TOKEN, else " + platform::to_utf8(token_file_path()) + "\n";
  text += "  log        " + platform::trace_log_path() +
          "\n             (when standard output is a terminal; else standard output)\n";
  return text;
}

}  // namespace

bool run_command_line_option(int argc, const char* const* argv, int& exit_status) {
  // "--" ends the options: what follows is the folder, '-' or not.
  if (argc < 2 || argv[1][0] != '-' || std::strcmp(argv[1], "--") == 0) return false;
  const std::string option = argv[1];
  if (option == "--help" || option == "-h") {
    std::fputs(usage().c_str(), stdout);
    exit_status = 0;
  } else if (option == "--version") {
    std::fputs("plinth " PLINTH_VERSION "\n", stdout);
    exit_status = 0;
  } else {
    std::fprintf(stderr,
                 "plinth: unknown option '%s' (a folder whose name begins with '-' is given "
                 "as ./%s)\nTry 'plinth --help'.\n",
                 option.c_str(), option.c_str());
    exit_status = 2;
  }
  return true;
}
