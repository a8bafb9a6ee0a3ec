#include "platform/term/term_front_end.h"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "platform/codepage.h"
#include "platform/dialogs/dialog.h"
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

namespace {

// The secret field a line sets, as "database token = TEXT" does; nullptr
// for any other line.
const Control* secret_field_set(const Window* page, const std::string& line) {
  if (page == nullptr) return nullptr;
  const term::PageCommand command = term::parse_page_command(*page, line);
  if (command.kind != term::PageCommand::kSetText) return nullptr;
  const Control* field = page->control(command.id);
  return field != nullptr && (field->style & kStylePassword) != 0 ? field : nullptr;
}

// True when the line holds a secret itself, not only the field's name.
bool holds_secret(const Window* page, const std::string& line) {
  return secret_field_set(page, line) != nullptr &&
         !term::parse_page_command(*page, line).text.empty();
}

}  // namespace

bool TermFrontEnd::read_plain_line(std::string& line) {
  int c;
  bool any = false;
  while ((c = std::fgetc(in_)) != EOF) {
    any = true;
    if (c == '\n') break;
    line += static_cast<char>(c);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return any;
}

bool TermFrontEnd::read_line(std::string& line, const std::string& prompt,
                             const std::vector<std::string>& commands, const Window* page) {
  line.clear();
  if (isatty(fileno(in_)) && term::line_editing_available()) {
    if (term::edit_line(in_, out_, prompt, commands, line)) {
      if (!holds_secret(page, line)) term::remember_line(line);
      return true;
    }
    write("\n");
    return false;
  }
  write(prompt);
  const bool any = read_plain_line(line);
  // Input from a pipe or file is echoed, so that the transcript reads as a
  // session, but never a secret. The end of input ends the prompt's line.
  if (holds_secret(page, line)) {
    write(line.substr(0, line.find('=') + 1) + " (not shown)\n");
  } else {
    write(any ? line + "\n" : "\n");
  }
  return any;
}

bool TermFrontEnd::read_secret(std::string& text, const std::string& prompt) {
  text.clear();
  write(prompt);
  const int fd = fileno(in_);
  termios before{};
  const bool terminal = isatty(fd) && tcgetattr(fd, &before) == 0;
  if (terminal) {
    termios quiet = before;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(fd, TCSANOW, &quiet);
  }
  const bool any = read_plain_line(text);
  if (terminal) tcsetattr(fd, TCSANOW, &before);
  write("\n");
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
    if (!read_line(line, term::prompt(page), term::command_words(page), &page)) {
      page.close();
      if (!page.ended()) page.end(kIdCancel);  // a page that will not close: leave it
      break;
    }
    const unsigned revision = page.revision();
    const unsigned drawings = drawings_;
    term::PageCommand command = term::parse_page_command(page, line);
    // "database token =" alone asks for the secret on a line that is not shown.
    const Control* secret = secret_field_set(&page, line);
    if (secret != nullptr && command.text.empty()) {
      std::string typed;
      read_secret(typed, to_utf8(term::control_label(page, *secret)) + " (typing is not shown): ");
      command.text = text_from_utf8(typed);
    }
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

bool TermFrontEnd::open_url(const std::string& url) {
  if (!browser_available()) return false;
  write("\nOpening " + to_utf8(url) + " in your web browser.\n");
  return xdg_open(url);
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
