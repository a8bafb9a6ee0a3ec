#include "app/driver.h"
#include "app/front_end_pick.h"
#include "platform/command_line.h"

int main(int argc, char** argv) {
  pick_front_end();
  RunArguments arguments;
  arguments.command_line = platform::command_line(argc, argv);
  arguments.folder = platform::folder_argument(argc, argv);
  return run_plinth(arguments);
}
