#include "platform/term/term_front_end.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "platform/codepage.h"
#include "platform/dialog.h"
#include "platform/shell.h"
#include "platform/term/line_editor.h"
#include "platform/term/page_commands.h"
#include "platform/term/page_view.h"
#include "platform/term/term_text.h"

namespace platform {
namespace {

// Set by Ctrl-C while a stoppable wait is on show; a signal handler can
// only reach a flag like this one.
volatile std::sig_atomic_t interrupted = 0;
struct sigaction interrupt_before;

void on_interrupt(int) { interrupted = 1; }

}  // namespace

bool TermFrontEnd::read_line(std::string& line, const std::string& prompt,
                             const std::vector<std::string>& commands) {
  line.clear();
  if (isatty(fileno(in_)) && term::line_editing_available()) {
    if (term::edit_line(in_, out_, prompt, commands, line)) return true;
    write("\n");
    return false;
  }
  write(prompt);
  int c;
  bool any = false;
  while ((c = std::fgetc(in_)) != EOF) {
    any = true;
    if (c == '\n') break;
    line += static_cast<char>(c);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  // Input from a pipe or file is echoed, so that the transcript reads as a
  // session. The end of input ends the prompt's line.
  write(any ? line + "\n" : "\n");
  return any;
}

void TermFrontEnd::write(const std::string& utf8) {
  std::fputs(term::visible(utf8).c_str(), out_);
  std::fflush(out_);
}

int TermFrontEnd::columns() {
  if (columns_ > 0) return columns_;
  winsize size{};
  if (isatty(fileno(out_)) && ioctl(fileno(out_), TIOCGWINSZ, &size) == 0 && size.ws_col >= 40)
    return size.ws_col;
  // Not a terminal: the shell's COLUMNS, when it is set and sensible.
  const char* columns = std::getenv("COLUMNS");
  if (columns != nullptr) {
    const long value = std::strtol(columns, nullptr, 10);
    if (value >= 40 && value <= 1000) return static_cast<int>(value);
  }
  return 80;
}

int TermFrontEnd::message_box(Window*, const std::string& text, const std::string& caption,
                              unsigned style) {
  ++drawings_;
  const bool question = (style & 0x0F) == kBoxYesNo;
  const bool warning = (style & 0xF0) == kBoxIconWarning;
  write("\n== " + std::string(warning ? "(!) " : "") + to_utf8(caption) + " ==\n");
  std::string body = to_utf8(text);
  for (size_t start = 0; start <= body.size();) {
    const size_t end = body.find('\n', start);
    const std::string line = body.substr(start, end == std::string::npos ? end : end - start);
    for (const std::string& piece : term::wrap(line, columns(), 0)) write(piece + "\n");
    if (end == std::string::npos) break;
    start = end + 1;
  }
  std::string line;
  if (!question) {
    read_line(line, "[OK] (press Enter) ");
    return kAnswerOk;
  }
  for (;;) {
    if (!read_line(line, "[Yes] [No] (y/n) ", {"yes", "no"})) return kAnswerNo;
    const std::string answer = ascii_lower(term::trim_blanks(line));
    // Enter takes the default button, Yes, as it does in a window.
    if (answer.empty() || answer == "y" || answer == "yes") return kAnswerYes;
    if (answer == "n" || answer == "no") return kAnswerNo;
  }
}

void TermFrontEnd::draw(const Window& page) {
  ++drawings_;
  std::string text = "\n";
  for (const std::string& line : term::draw_page(page, columns())) text += line + "\n";
  write(text);
}

void TermFrontEnd::run_modal(Window& page) {
  draw(page);
  while (!page.ended()) {
    std::string line;
    if (!read_line(line, term::prompt(page), term::command_words(page))) {
      page.close();
      if (!page.ended()) page.end(kIdCancel);  // a page that will not close: leave it
      break;
    }
    const unsigned revision = page.revision();
    const unsigned drawings = drawings_;
    const term::PageCommand command = term::parse_page_command(page, line);
    switch (command.kind) {
      case term::PageCommand::kSelect:
        page.user_select(command.id, command.index);
        break;
      case term::PageCommand::kSetText:
        page.user_set_text(command.id, command.text);
        break;
      case term::PageCommand::kPress:
        page.command(command.id);
        break;
      case term::PageCommand::kHint:
        for (const std::string& piece : term::wrap(command.text, columns(), 2)) write(piece + "\n");
        break;
    }
    if (!page.ended() && (page.revision() != revision || drawings_ != drawings)) draw(page);
  }
}

void TermFrontEnd::open_url(const std::string& url) {
  if (!browser_available()) {
    write("\nNo web browser can be started here. The page is at\n  " + to_utf8(url) + "\n");
    return;
  }
  write("\nOpening " + to_utf8(url) + " in your web browser.\n");
  xdg_open(url);
}

void TermFrontEnd::show_wait(const std::string& what, int seconds, bool stoppable) {
  if (!isatty(fileno(out_))) return;
  if (stoppable && !catching_interrupt_) {
    interrupted = 0;
    struct sigaction action = {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    catching_interrupt_ = sigaction(SIGINT, &action, &interrupt_before) == 0;
  }
  const std::string line =
      term::wrap(to_utf8(what) + "..." + (seconds > 0 ? " " + std::to_string(seconds) + " s" : "") +
                     (catching_interrupt_ ? " (Ctrl-C to stop)" : ""),
                 columns() - 1, 0)
          .front();
  if (line == wait_line_) return;
  wait_line_ = line;
  // Back to the line's start, the text, and the rest of the line erased.
  write_controls("\r" + term::visible(line) + "\x1b[K");
}

bool TermFrontEnd::wait_stopped() { return catching_interrupt_ && interrupted != 0; }

void TermFrontEnd::end_wait() {
  if (catching_interrupt_) {
    sigaction(SIGINT, &interrupt_before, nullptr);
    catching_interrupt_ = false;
  }
  if (wait_line_.empty()) return;
  wait_line_.clear();
  write_controls("\r\x1b[K");
}

void TermFrontEnd::write_controls(const std::string& bytes) {
  std::fputs(bytes.c_str(), out_);
  std::fflush(out_);
}

}  // namespace platform
