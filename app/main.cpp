#include "app/batch/batch_options.h"
#include "app/driver.h"
#include "app/front_end_pick.h"
#include "app/options/command_line_options.h"
#include "app/options/journal_options.h"
#include "platform/codepage.h"
#include "platform/command_line.h"

int main(int argc, char** argv) {
  int status = 0;
  if (run_batch_option(argc, argv, status)) return status;
  if (run_journal_option(argc, argv, status)) return status;
  if (run_command_line_option(argc, argv, status)) return status;
  pick_front_end();
  RunArguments arguments;
  arguments.command_line = platform::command_line(argc, argv);
  arguments.folder = platform::folder_argument(argc, argv);
  if (argc > 0 && argv[0][0] != '\0') arguments.program = platform::name_from_fs(argv[0]);
  return run_plinth(arguments);
}
