#pragma once
// The terminal front end: draws on standard error, reads one command or
// answer a line from standard input, so that a person or a script can drive
// it. The commands are those of page_commands.h; the end of input is the
// close box of every page and the "No" of every question; an empty line is
// the default button of every page and the "Yes" of every question.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/dialogs/front_end.h"

namespace platform {

class TermFrontEnd : public FrontEnd {
 public:
  // columns 0: the terminal's width when out is one, else $COLUMNS, else 80.
  explicit TermFrontEnd(FILE* in = stdin, FILE* out = stderr, int columns = 0)
      : in_(in), out_(out), columns_(columns) {}
  int message_box(Window* owner, const std::string& text, const std::string& caption,
                  unsigned style) override;
  void run_modal(Window& page) override;
  bool open_url(const std::string& url) override;
  // One line on out that updates, only when out is a terminal; a stoppable
  // wait ends in "(Ctrl-C to stop)", and Ctrl-C then stops it.
  void show_wait(const std::string& what, int seconds, bool stoppable) override;
  bool wait_stopped() override;
  void end_wait() override;

 protected:
  // Shows the prompt and reads one line of input without its line end;
  // false at end of input. At a terminal the line can be edited and Tab
  // completes the commands. A line that sets a secret field of the page is
  // neither echoed nor kept for Up and Down.
  bool read_line(std::string& line, const std::string& prompt,
                 const std::vector<std::string>& commands = {}, const Window* page = nullptr);
  // Reads a line that a terminal does not show as it is typed.
  bool read_secret(std::string& text, const std::string& prompt);
  bool read_plain_line(std::string& line);
  void write(const std::string& utf8);
  // Bytes as they are, terminal control sequences included.
  void write_controls(const std::string& bytes);
  int columns();
  void draw(const Window& page);

  FILE* in_;
  FILE* out_;
  int columns_;
  unsigned drawings_ = 0;            // pages and boxes drawn so far
  std::string wait_line_;            // the wait notice on show, "" for none
  bool catching_interrupt_ = false;  // Ctrl-C stops the wait on show
};

}  // namespace platform
