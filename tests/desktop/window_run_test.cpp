// The built program on a real X display (an Xvfb server of the test's own):
// `plinth FOLDER` shows its pages as windows, and a person who takes the
// default button of each (focus the window, press Return) gets the album
// named and tagged. The windows are driven from outside with xdotool and
// photographed under build/screenshots/xvfb/ for a person to look at.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/demo_album.h"
#include "tests/support/isolated_config.h"
#include "tests/support/mp3_maker.h"
#include "tests/support/run_checks.h"
#include "tests/support/standin_server.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace {

using test_support::has_line;
using test_support::shell_quoted;
using test_support::show_tags;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using test_support::read_file;
using test_support::run_command;

// The whole run, from the program's start to its exit, must take less: a
// window that never comes or a program that hangs fails the test instead of
// stalling it.
constexpr int kRunSeconds = 60;
constexpr int kServerStartSeconds = 20;

const char kDefaultSettings[] =
    "<?xml version=\"1.0\"?>\n<Settings m3u=\"t\" nfo=\"f\" g_dirf=\"[/4] /1 - /2\" "
    "g_m3uf=\"/1 - /2 [/4]\" g_tf=\"/8 - /6 - /7\" />\n";

bool have(const std::string& program) {
  int status = 0;
  run_command("command -v " + program + " >/dev/null 2>&1", &status);
  return status == 0;
}

std::string trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

// A child process of the test, in a process group of its own. Whatever
// happens to the test, the group is killed and reaped when the object goes.
class Child {
 public:
  Child() = default;
  ~Child() { stop(SIGKILL, 0); }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // Runs argv[0] (looked up in PATH) with that environment; standard input
  // from /dev/null, output to the files (or /dev/null). keep_fd stays open
  // in the child. False when it could not be started.
  bool start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
             const std::string& out_file = "/dev/null", const std::string& err_file = "/dev/null",
             int keep_fd = -1) {
    std::vector<char*> args, vars;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const std::string& v : env) vars.push_back(const_cast<char*>(v.c_str()));
    vars.push_back(nullptr);
    pid_ = fork();
    if (pid_ < 0) return false;
    if (pid_ == 0) {
      setpgid(0, 0);
      const int in = open("/dev/null", O_RDONLY);
      const int out = open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err = open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (in < 0 || out < 0 || err < 0) _exit(126);
      dup2(in, STDIN_FILENO);
      dup2(out, STDOUT_FILENO);
      dup2(err, STDERR_FILENO);
      for (int fd = 3; fd < 1024; ++fd) {
        if (fd != keep_fd) close(fd);
      }
      execvpe(args[0], args.data(), vars.data());
      _exit(127);
    }
    setpgid(pid_, pid_);  // also here, so that no kill can come before it
    return true;
  }

  bool running() {
    if (pid_ <= 0) return false;
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == 0) return true;
    if (done == pid_) status_ = status;
    pid_ = -1;
    return false;
  }

  // Waits until the child ends or the time is up; true when it ended.
  bool wait_until(Clock::time_point deadline) {
    while (running()) {
      if (Clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
  }

  // Sends the signal to the child's group, gives it the grace period, then
  // kills the group and reaps the child.
  void stop(int signal, int grace_seconds) {
    if (!running()) return;
    kill(-pid_, signal);
    if (wait_until(Clock::now() + std::chrono::seconds(grace_seconds))) return;
    kill(-pid_, SIGKILL);
    int status = 0;
    if (waitpid(pid_, &status, 0) == pid_) status_ = status;
    pid_ = -1;
  }

  // The exit status once it exited by itself; -1 otherwise.
  int exit_status() const { return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1; }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
};

// An X server of the test's own on a display number it picks itself.
class VirtualDisplay {
 public:
  VirtualDisplay() {
    int ready[2];
    if (pipe(ready) != 0) {
      problem_ = "no pipe";
      return;
    }
    std::vector<std::string> env;
    for (char** v = environ; *v != nullptr; ++v) env.push_back(*v);
    const bool started = server_.start({"Xvfb", "-displayfd", std::to_string(ready[1]), "-nolisten",
                                        "tcp", "-screen", "0", "1280x1024x24"},
                                       env, "/dev/null", log_.file("xvfb.log"), ready[1]);
    close(ready[1]);
    if (started) name_ = read_display_number(ready[0]);
    close(ready[0]);
    if (name_.empty()) problem_ = "Xvfb did not start:\n" + read_file(log_.file("xvfb.log"));
  }
  ~VirtualDisplay() { server_.stop(SIGTERM, 5); }
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  // ":N", or empty when the server did not start.
  const std::string& name() const { return name_; }
  const std::string& problem() const { return problem_; }

 private:
  // The server writes its display number once it takes connections.
  static std::string read_display_number(int fd) {
    std::string number;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(kServerStartSeconds);
    while (Clock::now() < deadline) {
      pollfd ready = {fd, POLLIN, 0};
      if (poll(&ready, 1, 200) <= 0) continue;
      char c = 0;
      if (read(fd, &c, 1) != 1) break;
      if (c == '\n') return ":" + number;
      number += c;
    }
    return "";
  }

  test_support::TempDir log_;
  Child server_;
  std::string name_;
  std::string problem_;
};

// One window of the run: how its title starts, the name of its picture and
// the keys pressed there (the default button's Return unless given).
struct Step {
  const char* title_pattern;  // xdotool's extended regular expression
  const char* picture;
  std::vector<std::string> keys = {"key --clearmodifiers Return"};  // xdotool commands
};

const Step kSteps[] = {
    // From "Next >>": Down stays on the button; Tab goes to Cancel, the
    // list (where Down moves the selection), the text field, and Manual
    // Search, whose space searches the typed term.
    {"^Select search term( |$)", "1-select-search-term.png",
     {"key --clearmodifiers Down Tab Tab Down Tab", "type 'harbour lights'", "key Tab space"}},
    {"^Select search result term( |$)", "2-select-search-result-term.png"},
    {"^Select release( |$)", "3-select-release.png"},
    {"^Confirm track matches( |$)", "4-confirm-track-matches.png"},
    {"^Done\\.( |$)", "5-done.png"},
};

class WindowRun : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef PLINTH_HAVE_QT
    GTEST_SKIP() << "built without Qt 6: the program has no windows to show";
#endif
    if (!have("Xvfb")) GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb)";
    if (!have("xdotool")) GTEST_SKIP() << "xdotool is not installed (Debian package xdotool)";
    can_photograph_ = have("import");
    config_.write_settings_file(kDefaultSettings);
    pictures_ = std::string(PLINTH_BUILD_DIR) + "/screenshots/xvfb";
    std::error_code ignored;
    fs::remove_all(pictures_, ignored);
    fs::create_directories(pictures_);
    display_ = std::make_unique<VirtualDisplay>();
  }

  // Runs an X client on the display, bounded in time; its standard output.
  std::string x_client(const std::string& command, int seconds, int* status = nullptr) {
    return run_command("DISPLAY=" + display_->name() + " timeout -k 2 " +
                           std::to_string(std::max(seconds, 1)) + " " + command + " 2>&1",
                       status);
  }

  int seconds_left() const {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::seconds>(deadline_ - Clock::now()).count());
  }

  // The id of the first visible window whose title matches, once there is
  // one; empty when none came in time.
  std::string wait_for_window(const char* pattern) {
    int status = 0;
    const std::string ids =
        x_client("xdotool search --sync --onlyvisible --name " + shell_quoted(pattern),
                 seconds_left(), &status);
    if (status != 0) return "";
    return trimmed(ids.substr(0, ids.find('\n')));
  }

  void photograph(const std::string& window, const std::string& picture) {
    if (!can_photograph_) return;
    x_client("import -window " + window + " " + shell_quoted(pictures_ + "/" + picture), 20);
  }

  // What was on the screen when a window did not come: every visible
  // window's title, and a picture of the whole screen.
  std::string screen_report() {
    photograph("root", "failure-screen.png");
    return "visible windows:\n" +
           x_client(
               "sh -c 'for w in $(xdotool search --onlyvisible --name .); do "
               "xdotool getwindowname $w; done'",
               10) +
           "\nplinth's standard error:\n" + read_file(work_.file("plinth.err"));
  }

  // The program's environment: this one (with the isolated configuration)
  // on the virtual display, its requests through the stand-in.
  std::vector<std::string> plinth_environment() {
    const std::string runtime = work_.file("runtime");
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    std::vector<std::string> env;
    for (char** v = environ; *v != nullptr; ++v) {
      const std::string var = *v;
      const std::string name = var.substr(0, var.find('='));
      const char* replaced[] = {"DISPLAY",    "WAYLAND_DISPLAY", "QT_QPA_PLATFORM",
                                "http_proxy", "HTTP_PROXY",      "no_proxy",
                                "NO_PROXY",   "XDG_RUNTIME_DIR", "LSAN_OPTIONS"};
      if (std::find_if(std::begin(replaced), std::end(replaced),
                       [&](const char* r) { return name == r; }) == std::end(replaced))
        env.push_back(var);
    }
    env.push_back("DISPLAY=" + display_->name());
    env.push_back("QT_QPA_PLATFORM=xcb");
    env.push_back("http_proxy=" + server_.proxy_url());
    env.push_back("XDG_RUNTIME_DIR=" + runtime);
    // In a sanitizer build: what the system's libraries keep is not ours.
    const char* leak_options = std::getenv("LSAN_OPTIONS");
    env.push_back(std::string("LSAN_OPTIONS=") + (leak_options != nullptr ? leak_options : "") +
                  ":suppressions=" + PLINTH_SOURCE_DIR +
                  "/tests/desktop/system_library_leaks.supp");
    return env;
  }

  test_support::IsolatedConfig config_;
  test_support::StandinServer server_;
  test_support::TempDir work_;
  std::unique_ptr<VirtualDisplay> display_;
  Child plinth_;
  Clock::time_point deadline_;
  std::string pictures_;
  bool can_photograph_ = false;
};

TEST_F(WindowRun, TheDefaultButtonOfEveryWindowTagsTheAlbum) {
  ASSERT_FALSE(display_->name().empty()) << display_->problem();
  const std::string albums = work_.file("music");
  fs::create_directory(albums);
  const std::string album = test_support::make_demo_album(albums);
  const std::vector<std::string> originals = test_support::demo_album_files();
  std::vector<std::string> audio;
  for (const std::string& name : originals)
    audio.push_back(test_support::audio_bytes(read_file(album + "/" + name)));

  deadline_ = Clock::now() + std::chrono::seconds(kRunSeconds);
  ASSERT_TRUE(plinth_.start({PLINTH_BINARY, album}, plinth_environment(), work_.file("plinth.out"),
                            work_.file("plinth.err")));

  for (const Step& step : kSteps) {
    const std::string window = wait_for_window(step.title_pattern);
    ASSERT_FALSE(window.empty()) << "no window titled " << step.title_pattern << "\n"
                                 << screen_report();
    // There is no window manager: the test gives the window the focus, as
    // a person's click would, then presses Return for the default button.
    int focused = 0;
    x_client("xdotool windowfocus --sync " + window, 10, &focused);
    ASSERT_EQ(focused, 0) << "could not focus " << step.title_pattern;
    // A moment for the window to draw itself before its picture is taken.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    photograph(window, step.picture);
    for (const std::string& keys : step.keys) {
      int pressed = 0;
      x_client("xdotool " + keys, 10, &pressed);
      ASSERT_EQ(pressed, 0) << keys;
    }
  }
  const std::vector<std::string> requests = server_.request_log();
  EXPECT_NE(std::find_if(requests.begin(), requests.end(),
                         [](const std::string& r) { return r.find("q=harbour+lights") != r.npos; }),
            requests.end())
      << "the typed term was not searched";

  const bool exited = plinth_.wait_until(deadline_);
  if (!exited) plinth_.stop(SIGKILL, 0);
  ASSERT_TRUE(exited) << "plinth was still running after " << kRunSeconds << " s\n"
                      << screen_report();
  EXPECT_EQ(plinth_.exit_status(), 0) << read_file(work_.file("plinth.err"));

  const std::string tagged = albums + "/" + test_support::kTaggedDemoFolder;
  ASSERT_TRUE(fs::is_directory(tagged)) << read_file(work_.file("plinth.out"));
  EXPECT_FALSE(fs::exists(album));
  std::vector<std::string> expected = test_support::tagged_demo_files();
  expected.push_back(test_support::kTaggedDemoPlaylist);
  expected.push_back("R-100101.jpg");
  std::sort(expected.begin(), expected.end());
  std::vector<std::string> present;
  for (const auto& entry : fs::directory_iterator(tagged))
    present.push_back(entry.path().filename().string());
  std::sort(present.begin(), present.end());
  EXPECT_EQ(present, expected);

  const std::string playlist = read_file(tagged + "/" + test_support::kTaggedDemoPlaylist);
  const std::vector<std::string> renamed = test_support::tagged_demo_files();
  for (size_t i = 0; i < renamed.size(); ++i) {
    const std::string file = tagged + "/" + renamed[i];
    EXPECT_NE(playlist.find(renamed[i] + "\r\n"), std::string::npos) << renamed[i];
    EXPECT_EQ(test_support::audio_bytes(read_file(file)), audio[i]) << renamed[i];
    const std::string read = show_tags(file);
    for (const std::string& frame : {std::string("ID3v2.3"), std::string("TPE1: Harbour Lights"),
                                     std::string("TALB: Night Ferry"), std::string("TYER: 2005"),
                                     "TRCK: " + std::to_string(i + 1)}) {
      EXPECT_TRUE(has_line(read, frame)) << renamed[i] << ": " << frame << "\n" << read;
    }
    EXPECT_NE(read.find("APIC: image/jpeg"), std::string::npos) << renamed[i];
  }

  if (can_photograph_) {
    for (const Step& step : kSteps)
      EXPECT_TRUE(fs::exists(pictures_ + "/" + step.picture)) << step.picture;
  }
}

}  // namespace
