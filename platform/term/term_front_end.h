#pragma once
// The terminal front end: draws on standard error, reads one answer a line
// from standard input, so that a person or a script can drive it.
#include <cstdio>
#include <string>

#include "platform/front_end.h"

namespace platform {

class TermFrontEnd : public FrontEnd {
 public:
  TermFrontEnd(FILE* in = stdin, FILE* out = stderr) : in_(in), out_(out) {}
  int message_box(Window* owner, const std::string& text, const std::string& caption,
                  unsigned style) override;

 protected:
  // One line of input without its line end; false at end of input.
  bool read_line(std::string& line);
  void write(const std::string& utf8);

  FILE* in_;
  FILE* out_;
};

}  // namespace platform
