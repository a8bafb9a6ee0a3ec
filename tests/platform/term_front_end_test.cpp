#include "platform/term/term_front_end.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/codepage.h"
#include "platform/dialogs/dialog.h"
#include "platform/term/line_editor.h"
#include "platform/term/page_commands.h"
#include "platform/term/term_text.h"
#include "resources/dialog_templates.h"
#include "tests/support/isolated_config.h"
#include "tests/support/recording_front_end.h"

using namespace platform;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

// What the page under test saw.
struct Seen {
  std::vector<int> commands;       // low words of the commands, notifications left out
  std::vector<std::string> typed;  // what each edit of a field left in it
  bool closed = false;
};
Seen* g_seen = nullptr;

// A page that fills its lists from g_lines and ends on OK or Cancel.
std::vector<std::pair<int, std::vector<std::string>>> g_lines;

bool test_proc(Window& page, unsigned message, uintptr_t wparam, intptr_t) {
  if (message == kWmInitDialog) {
    page.set_text("Test page");
    for (const auto& [id, lines] : g_lines) {
      for (const std::string& line : lines) page.add_line(id, line);
    }
    return true;
  }
  if (message == kWmCommand) {
    if (high_word(wparam) == kEditChange) {
      char text[256];
      page.get_item_text(low_word(wparam), text, sizeof text);
      g_seen->typed.push_back(text);
    }
    if (high_word(wparam) != kButtonClicked) return true;
    g_seen->commands.push_back(low_word(wparam));
    if (low_word(wparam) == kIdOk || low_word(wparam) == kIdCancel) page.end(low_word(wparam));
    return true;
  }
  if (message == kWmClose) {
    g_seen->closed = true;
    page.end(0);
    return true;
  }
  return false;
}

// Runs a page of the template on a terminal fed with input; returns what
// it drew.
class Terminal {
 public:
  explicit Terminal(const std::string& input, int columns = 80) : input_(input) {
    in_ = input_.empty() ? fopen("/dev/null", "r") : fmemopen(&input_[0], input_.size(), "r");
    out_ = open_memstream(&drawn_, &drawn_size_);
    ui_ = new TermFrontEnd(in_, out_, columns);
    set_front_end(ui_);
  }
  ~Terminal() {
    set_front_end(nullptr);
    delete ui_;
    fclose(in_);
    fclose(out_);
    free(drawn_);
  }
  std::string run(int template_id) {
    g_seen = &seen;
    dialog_box_param(template_id, nullptr, test_proc, 0);
    return drawn();
  }
  std::string drawn() { return fflush(out_), std::string(drawn_, drawn_size_); }
  TermFrontEnd& ui() { return *ui_; }
  Seen seen;

 private:
  std::string input_;
  char* drawn_ = nullptr;
  size_t drawn_size_ = 0;
  FILE* in_;
  FILE* out_;
  TermFrontEnd* ui_;
};

int count_of(const std::string& text, const std::string& needle) {
  int n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

}  // namespace

// How a page is drawn, its caption, lists, fields, buttons, menu and
// prompt, the golden texts of whole runs show line for line.
TEST(TermPage, ButtonsAndMenuItemsByLooseNameOrUniquePrefix) {
  g_lines = {};
  Terminal term(
      "manual search\nMANUAL\ntoggel m3u\ntoggle m3u\ntog\nsave-settings\nDirectory?\ns\n"
      "cancel\n");
  term.run(kDialogSearchTerm);
  EXPECT_EQ(term.seen.commands, (std::vector<int>{kIdManualSearch, kIdManualSearch, kCmdToggleM3u,
                                                  kCmdToggleM3u, kCmdToggleM3u, kCmdSaveSettings,
                                                  kCmdDirectory, kCmdSaveSettings, kIdCancel}));
}

// The words of a page's commands, as Tab completes them.
std::vector<std::string> command_words_of(int template_id) {
  static std::vector<std::string> words;
  dialog_box_param(
      template_id, nullptr,
      [](Window& page, unsigned message, uintptr_t, intptr_t) {
        if (message == kWmInitDialog) words = term::command_words(page);
        if (message == kWmClose) page.end(0);
        return true;
      },
      0);
  return words;
}

TEST(TermPage, TabCompletesThePagesCommandsWordByWord) {
  Terminal term("");
  const std::vector<std::string> words = command_words_of(kDialogSearchTerm);
  EXPECT_EQ(words.front(), "next");
  EXPECT_NE(std::find(words.begin(), words.end(), "toggel m3u"), words.end());
  EXPECT_EQ(term::complete_word(words, "", "MAN"), std::vector<std::string>{"manual"});
  EXPECT_EQ(term::complete_word(words, "manual ", "s"), std::vector<std::string>{"search"});
  EXPECT_EQ(term::complete_word(words, "", "a"), std::vector<std::string>{"about"});
  EXPECT_EQ(term::complete_word({"save as", "save all"}, "", "s"),
            std::vector<std::string>{"save"});
  EXPECT_TRUE(term::complete_word(words, "", "x").empty());
  EXPECT_EQ(
      command_words_of(kDialogNameConfiguration),
      (std::vector<std::string>{"ok", "cancel", "help", "directory =", "playlist =", "track ="}));
}

TEST(TermPage, UnknownOrAmbiguousCommandsOnlyHint) {
  g_lines = {};
  Terminal term("dance\nf\n9\nhelp\n");
  const std::string out = term.run(kDialogMatchConfirmation);
  EXPECT_TRUE(term.seen.commands.empty());
  EXPECT_EQ(count_of(out, "=== Test page ==="), 1);  // hints do not draw the page again
  EXPECT_THAT(out, HasSubstr("Unknown command. Commands:"));
  EXPECT_THAT(out, HasSubstr("'f' could mean more than one command."));
  EXPECT_THAT(out,
              HasSubstr("Name the list first. Commands: 'release N' or 'original N' to select"));
  // "help" on a page without a Help button lists the commands, no complaint.
  EXPECT_THAT(out, HasSubstr("> help\nCommands: 'release N' or"));
  EXPECT_TRUE(term.seen.closed);
}

// '=' sets the first field exactly; the name configuration's fields go by
// their labels, which are not drawn again.
TEST(TermPage, FieldsAreSetByEqualsOrByName) {
  g_lines = {};
  std::string out = Terminal("=  two  blanks \n=\n= Caf\xC3\xA9\n").run(kDialogSearchTerm);
  EXPECT_THAT(out, HasSubstr("Text =  two  blanks \n"));
  EXPECT_THAT(out, HasSubstr("Text = \n"));
  EXPECT_THAT(out, HasSubstr("Text = Caf\xC3\xA9\n"));
  out = Terminal("directory = /1\nplaylist = /2 x\ntrack= /8\noutput = z\n")
            .run(kDialogNameConfiguration);
  EXPECT_THAT(out, HasSubstr("Output Directory Format = /1\n"));
  EXPECT_THAT(out, HasSubstr("Output Playlist Format = /2 x\n"));
  EXPECT_THAT(out, HasSubstr("Output Track Format = /8\n"));
  EXPECT_THAT(out, HasSubstr("No single text field is called 'output'."));
  EXPECT_THAT(out, Not(HasSubstr("Output Directory Format\n")));
}

TEST(TermPage, ListsByLabelAndTheMatchesListCannotSelect) {
  g_lines = {{kIdReleaseList, {"1 Intro", "2 Outro"}},
             {kIdOriginalList, {"a.mp3", "b.mp3"}},
             {kIdMatchesList, {"1 Intro", "2 Outro"}}};
  Terminal term("release 2\norig 1\nmatches 1\noriginal 3\n");
  const std::string out = term.run(kDialogMatchConfirmation);
  EXPECT_THAT(out, HasSubstr("Matches lines cannot be selected."));
  EXPECT_THAT(out, HasSubstr("Original has no line 3."));
  EXPECT_THAT(out, HasSubstr(">  2. 2 Outro"));
  EXPECT_THAT(out, HasSubstr(">  1. a.mp3"));
}

// Columns are counted as the terminal draws them: a Japanese letter takes
// two, so the columns after a Japanese name stand where the others do.
TEST(TermPage, MatchListsStandInAlignedColumnsWhenTheyFit) {
  const std::string japanese = name_from_fs("\xE4\xB9\x85\xE9\x81\xA0\xE3\x83\x9F");  // 久遠ミ
  g_lines = {{kIdReleaseList, {"01 " + japanese, "02 Harbour Lights"}},
             {kIdOriginalList, {japanese + ".mp3", "track2.mp3"}},
             {kIdMatchesList, {"01 " + japanese, "02 Harbour Lights"}}};
  Terminal term("");
  const std::string out = term.run(kDialogMatchConfirmation);
  const std::string shown = to_utf8(japanese);
  EXPECT_THAT(out,
              HasSubstr("Release                  Original          Matches\n"
                        "   1. 01 " +
                        shown + "             1. " + shown + ".mp3     1. 01 " + shown +
                        "\n"
                        "   2. 02 Harbour Lights     2. track2.mp3     2. 02 Harbour Lights\n"));
  EXPECT_EQ(term::text_width("01 " + shown), 9);
  // With the gaps between them they take 66 columns.
  EXPECT_THAT(Terminal("", 66).run(kDialogMatchConfirmation), HasSubstr("Release    "));
  EXPECT_THAT(Terminal("", 65).run(kDialogMatchConfirmation), HasSubstr("Release:\n"));
}

TEST(TermPage, WideMatchListsStandOneUnderTheOtherAndWrap) {
  const std::string long_name(100, 'n');
  g_lines = {{kIdReleaseList, {"01 Intro"}},
             {kIdOriginalList, {long_name + ".mp3"}},
             {kIdMatchesList, {"01 Intro"}}};
  Terminal term("");
  const std::string out = term.run(kDialogMatchConfirmation);
  EXPECT_THAT(out, HasSubstr("Release:\n   1. 01 Intro\nOriginal:\n   1. nnn"));
  EXPECT_THAT(out, HasSubstr("Matches:\n   1. 01 Intro\n"));
  size_t start = 0;
  for (size_t end = out.find('\n'); end != std::string::npos; end = out.find('\n', start)) {
    EXPECT_LE(term::text_width(out.substr(start, end - start)), 80)
        << out.substr(start, end - start);
    start = end + 1;
  }
}

TEST(TermText, WrapNeverSplitsACharacter) {
  const std::string text = std::string(9, 'a') + "\xC3\xA9\xC3\xA9\xC3\xA9" + std::string(20, 'b');
  const std::vector<std::string> lines = term::wrap(text, 12, 2);
  EXPECT_EQ(lines,
            (std::vector<std::string>{std::string(9, 'a') + "\xC3\xA9\xC3\xA9\xC3\xA9",
                                      "  " + std::string(10, 'b'), "  " + std::string(10, 'b')}));
  EXPECT_EQ(term::wrap(text, 4, 2), lines);  // a narrower terminal still gets ten columns
  EXPECT_EQ(term::wrap("one two three four", 12, 0),
            (std::vector<std::string>{"one two", "three four"}));
}

// The marks that reorder the line are shown as \xNN, as controls are (see
// TermBox); letters, whatever their script, as they are.
TEST(TermText, ControlsAndBidiMarksAreShownEscaped) {
  const struct {
    const char* name;
    std::string text;
    std::string shown;
  } cases[] = {
      {"Letters", "Caf\xC3\xA9 \xE3\x81\x82", "Caf\xC3\xA9 \xE3\x81\x82"},
      {"RightToLeftOverride",
       "Track\xE2\x80\xAE"
       "3pm.exe",
       "Track\\xe2\\x80\\xae"
       "3pm.exe"},
      {"Isolate", "\xE2\x81\xA6x\xE2\x81\xA9", "\\xe2\\x81\\xa6x\\xe2\\x81\\xa9"},
      {"ArabicLetterMark", "\xD8\x9C", "\\xd8\\x9c"},
      {"RightToLeftMark", "\xE2\x80\x8F", "\\xe2\\x80\\x8f"},
      {"NarrowNoBreakSpace", "\xE2\x80\xAF", "\xE2\x80\xAF"},
  };
  for (const auto& c : cases) EXPECT_EQ(term::visible(c.text), c.shown) << c.name;
}

// What a terminal shows on its master side: the bytes until `wanted` of
// them came (0: all there are) or none came for `wait_ms`; the terminal
// hands them on a moment after they were written.
static std::string read_terminal(int master, size_t wanted, int wait_ms) {
  std::string shown;
  pollfd ready{master, POLLIN, 0};
  char buffer[256];
  while ((wanted == 0 || shown.size() < wanted) && poll(&ready, 1, wait_ms) == 1) {
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n <= 0) break;
    shown.append(buffer, static_cast<size_t>(n));
  }
  return shown;
}

// Types into the terminal once its mode has lost `flag` (the echo, or
// line by line input), as a person types after the prompt.
static std::thread type_after(int master, int slave, tcflag_t flag, const std::string& typed) {
  return std::thread([=] {
    termios mode{};
    for (int i = 0; i < 500 && tcgetattr(slave, &mode) == 0 && (mode.c_lflag & flag) != 0; ++i)
      usleep(10000);
    EXPECT_EQ(write(master, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
  });
}

// The token is a secret: given on the command line it is not echoed nor
// drawn; "database token =" alone asks for it on a line of its own.
TEST(TermPage, ASecretFieldIsNeitherEchoedNorDrawn) {
  g_lines = {};
  Terminal term("database token = first-secret\ndatabase token =\nsecond-secret\n");
  const std::string out = term.run(kDialogDatabaseToken);
  EXPECT_EQ(term.seen.typed, (std::vector<std::string>{"first-secret", "second-secret"}));
  EXPECT_THAT(out, Not(HasSubstr("secret")));
  EXPECT_THAT(out, HasSubstr("> database token = (not shown)\n"));
  EXPECT_THAT(out, HasSubstr("Database Token = (not shown)\n"));
  EXPECT_THAT(out, HasSubstr("\nDatabase Token (typing is not shown): \n"));
}

// At a terminal, what is typed for a secret is not echoed, and the echo
// comes back afterwards.
TEST(TermPage, ATerminalDoesNotEchoTheSecret) {
  struct Secretive : TermFrontEnd {
    using TermFrontEnd::read_secret;
    using TermFrontEnd::TermFrontEnd;
  };
  int master = -1;
  int slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  FILE* tty = fdopen(slave, "r");
  FILE* drawn = tmpfile();
  std::thread typist = type_after(master, slave, ECHO, "hunter2\n");
  Secretive ui(tty, drawn, 80);
  std::string secret;
  EXPECT_TRUE(ui.read_secret(secret, "Token: "));
  typist.join();
  EXPECT_EQ(secret, "hunter2");
  EXPECT_THAT(read_terminal(master, 0, 100), Not(HasSubstr("hunter2")));
  termios mode{};
  ASSERT_EQ(tcgetattr(slave, &mode), 0);
  EXPECT_NE(mode.c_lflag & ECHO, 0u);
  fclose(tty);
  fclose(drawn);
  close(master);
}

// At a terminal the line editor reads the commands: Tab completes the
// word begun, of the commands the page has.
TEST(TermPage, AtATerminalTabCompletesTheCommandsWords) {
  if (!term::line_editing_available()) GTEST_SKIP() << "no libedit to edit lines with";
  test_support::ScopedEnv terminal("TERM", "xterm");
  int master = -1;
  int slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  // The line editor may flush what came before it takes the terminal.
  std::thread typist = type_after(master, slave, ICANON, "CAN\t\n");
  FILE* tty_in = fdopen(slave, "r");
  FILE* tty_out = fdopen(dup(slave), "w");
  g_lines = {};
  Seen seen;
  g_seen = &seen;
  {
    TermFrontEnd ui(tty_in, tty_out, 80);
    set_front_end(&ui);
    dialog_box_param(kDialogSearchTerm, nullptr, test_proc, 0);
    set_front_end(nullptr);
  }
  typist.join();
  EXPECT_EQ(seen.commands, std::vector<int>{kIdCancel});
  fclose(tty_in);
  fclose(tty_out);
  close(master);
}

// A question asks again until yes or no and takes Enter for Yes, an OK box
// takes any line, the end of input answers No and OK, and what pages put in
// boxes is shown, never obeyed: a window title, a colour, cursor moves, an
// 8-bit CSI, a raw byte.
TEST(TermBox, AnswersAndWhatTheyShow) {
  Terminal term("maybe\n y \nwhatever\n\n No\n");
  EXPECT_EQ(term.ui().message_box(nullptr, "Remove it?", "Question", kBoxYesNo), kAnswerYes);
  EXPECT_EQ(term.ui().message_box(nullptr, "line one\nline two", "Help", kBoxOk), kAnswerOk);
  EXPECT_EQ(term.ui().message_box(nullptr, "Enter?", "Q", kBoxYesNo), kAnswerYes);
  EXPECT_EQ(term.ui().message_box(nullptr, "No?", "Q", kBoxYesNo), kAnswerNo);
  EXPECT_EQ(term.ui().message_box(nullptr, "Sure?", "Q", kBoxYesNo), kAnswerNo);
  EXPECT_EQ(term.ui().message_box(nullptr,
                                  "\x1b]0;owned\x07Red\x1b[31m\r\xE9\x81"
                                  "9b;Y\x8D"
                                  "9b",
                                  "T\tab", kBoxOk | kBoxIconWarning),
            kAnswerOk);
  const std::string drawn = term.drawn();
  EXPECT_EQ(count_of(drawn, "[Yes] [No] (y/n) "), 5);
  EXPECT_THAT(drawn, HasSubstr("== Help ==\nline one\nline two\n"));
  EXPECT_THAT(
      drawn,
      HasSubstr(
          "== (!) T\\x09ab ==\n\\x1b]0;owned\\x07Red\\x1b[31m\\x0d\xC3\xA9\\xc2\\x9bY\\x9b\n"))
      << drawn;
}

// A stoppable wait says how to stop it, and Ctrl-C stops it only while it
// is on show.
TEST(TermWait, OneLineThatUpdatesOnlyOnATerminal) {
  int master = -1;
  int slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  FILE* tty = fdopen(slave, "w");
  FILE* file = tmpfile();
  for (FILE* out : {tty, file}) {
    TermFrontEnd ui(stdin, out, 80);
    ui.show_wait("Waiting for www.discogs.com", 0, false);
    ui.show_wait("Waiting for www.discogs.com", 0, false);
    ui.show_wait("Waiting for www.discogs.com", 1, true);
    EXPECT_FALSE(ui.wait_stopped());
    if (out == tty) {
      raise(SIGINT);
      EXPECT_TRUE(ui.wait_stopped());
    }
    ui.end_wait();
    ui.end_wait();
    struct sigaction after = {};
    sigaction(SIGINT, nullptr, &after);
    EXPECT_EQ(after.sa_handler, SIG_DFL);
  }
  const std::string expected =
      "\rWaiting for www.discogs.com...\x1b[K\rWaiting for www.discogs.com... 1 s (Ctrl-C to "
      "stop)\x1b[K\r\x1b[K";
  EXPECT_EQ(read_terminal(master, expected.size(), 5000), expected);
  EXPECT_EQ(ftell(file), 0);  // nothing where no terminal is
  fclose(tty);
  fclose(file);
  close(master);
}

TEST(TermWait, ABoxTakesTheNoticeAwayForItsTime) {
  test_support::RecordingFrontEnd ui;
  message_box(nullptr, "Could not write the playlist", "Error", kBoxOk);
  EXPECT_EQ(ui.ended_waits, 1);
}
