// Which front end the program shows its pages on: the desktop one only when
// it was built in and a display can really be opened.
#include "platform/front_end_choice.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <string>

namespace {

// Sets or clears environment variables for one test and puts them back.
class Environment {
 public:
  ~Environment() {
    for (const auto& [name, value] : saved_) {
      if (value.first)
        setenv(name.c_str(), value.second.c_str(), 1);
      else
        unsetenv(name.c_str());
    }
  }
  void set(const std::string& name, const char* value) {
    if (saved_.count(name) == 0) {
      const char* old = std::getenv(name.c_str());
      saved_[name] = {old != nullptr, old != nullptr ? old : ""};
    }
    if (value != nullptr)
      setenv(name.c_str(), value, 1);
    else
      unsetenv(name.c_str());
  }

 private:
  std::map<std::string, std::pair<bool, std::string>> saved_;
};

// An X server of our own on a free display, for as long as the object lives.
class VirtualDisplay {
 public:
  VirtualDisplay() {
    int ready[2];
    if (pipe(ready) != 0) return;
    server_ = fork();
    if (server_ == 0) {
      close(ready[0]);
      const std::string fd = std::to_string(ready[1]);
      freopen("/dev/null", "w", stderr);
      freopen("/dev/null", "w", stdout);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
             "1024x768x24", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(ready[1]);
    // The server writes its display number once it takes connections.
    char c;
    std::string number;
    while (read(ready[0], &c, 1) == 1 && c != '\n') number += c;
    close(ready[0]);
    if (!number.empty()) name_ = ":" + number;
  }
  ~VirtualDisplay() {
    if (server_ <= 0) return;
    kill(server_, SIGTERM);
    int status;
    waitpid(server_, &status, 0);
  }
  const std::string& name() const { return name_; }

 private:
  pid_t server_ = -1;
  std::string name_;
};

class FrontEndChoice : public ::testing::Test {
 protected:
  FrontEndChoice() {
    env.set("DISPLAY", nullptr);
    env.set("WAYLAND_DISPLAY", nullptr);
    env.set("QT_QPA_PLATFORM", nullptr);  // as on a user's machine
  }
  Environment env;
};

TEST_F(FrontEndChoice, WithoutANamedDisplayThePagesGoToTheTerminal) {
  EXPECT_FALSE(platform::display_named());
  EXPECT_FALSE(platform::graphical_display_available());
}

TEST_F(FrontEndChoice, EitherDisplayVariableNamesADisplay) {
  env.set("WAYLAND_DISPLAY", "wayland-7");
  EXPECT_TRUE(platform::display_named());
  env.set("WAYLAND_DISPLAY", "");
  EXPECT_FALSE(platform::display_named());
  env.set("DISPLAY", ":7");
  EXPECT_TRUE(platform::display_named());
}

TEST_F(FrontEndChoice, ADisplayThatCannotBeOpenedMeansTheTerminal) {
  env.set("DISPLAY", ":4093");  // no server there
  EXPECT_FALSE(platform::graphical_display_available());
}

TEST_F(FrontEndChoice, ARunningDisplayMeansTheDesktopWhenBuiltWithQt) {
  if (system("command -v Xvfb >/dev/null 2>&1") != 0) GTEST_SKIP() << "Xvfb is not installed";
  VirtualDisplay display;
  ASSERT_FALSE(display.name().empty()) << "Xvfb did not start";
  env.set("DISPLAY", display.name().c_str());
#ifdef PLINTH_HAVE_QT
  EXPECT_TRUE(platform::graphical_display_available());
#else
  EXPECT_FALSE(platform::graphical_display_available());
#endif
}

}  // namespace
