#include "platform/term/term_front_end.h"

#include <cctype>

#include "platform/codepage.h"

namespace platform {
namespace {

std::string lowered(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string trimmed(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

}  // namespace

bool TermFrontEnd::read_line(std::string& line) {
  line.clear();
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

void TermFrontEnd::write(const std::string& utf8) {
  std::fputs(utf8.c_str(), out_);
  std::fflush(out_);
}

int TermFrontEnd::message_box(Window*, const std::string& text, const std::string& caption,
                              unsigned style) {
  const bool question = (style & 0x0F) == kBoxYesNo;
  const bool warning = (style & 0xF0) == kBoxIconWarning;
  write("\n== " + std::string(warning ? "(!) " : "") + to_utf8(caption) + " ==\n");
  write(to_utf8(text) + "\n");
  std::string line;
  if (!question) {
    write("[OK] (press Enter) ");
    read_line(line);
    write("\n");
    return kAnswerOk;
  }
  for (;;) {
    write("[Yes] [No] (y/n) ");
    if (!read_line(line)) {
      write("\n");
      return kAnswerNo;
    }
    const std::string answer = lowered(trimmed(line));
    if (answer == "y" || answer == "yes") return kAnswerYes;
    if (answer == "n" || answer == "no") return kAnswerNo;
  }
}

}  // namespace platform
