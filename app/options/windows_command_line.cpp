#include "app/options/windows_command_line.h"

#include "common/text.h"

std::string folder_from_command_line(const std::string& command_line) {
  std::string argument = command_line;
  const int exe = find_text(command_line, ".exe", 0);
  if (exe >= 0) {
    const int blank = find_text(command_line, " ", exe);
    if (blank >= 0) argument = command_line.substr(static_cast<size_t>(blank) + 1);
  }
  remove_char(argument, '"');
  return argument;
}
