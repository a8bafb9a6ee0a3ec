#pragma once
// The fixture of every test that runs the built program as a user does: its
// own settings and configuration, a work folder, the stand-in web database
// when a test wants one, the program run on a folder with given input, and
// looks at what it left.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/isolated_config.h"
#include "tests/support/mp3_files.h"
#include "tests/support/run_checks.h"
#include "tests/support/standin_server.h"
#include "tests/support/temp_dir.h"

namespace test_support {

// The settings file the install puts in place, as the tests' own settings.
extern const std::string kDefaultSettings;
// The demo album's folder after a run with the default settings.
extern const char kTaggedDemoFolder[];
// The titles of its twelve tracks, in their order.
extern const char* const kDemoTitles[12];

struct Outcome {
  int status = -1;    // 124 when the watchdog ended a hung run
  std::string trace;  // standard output: the program's diagnostic lines
  std::string drawn;  // standard error: what the terminal front end drew
};

class WholeRun : public ::testing::Test {
 protected:
  WholeRun() { config.write_settings_file(kDefaultSettings); }

  // Starts the stand-in database (again) with these arguments; the runs
  // after reach it through http_proxy.
  void start_server(const std::vector<std::string>& args = {}) {
    server.reset();
    server = std::make_unique<StandinServer>(args);
  }

  // The program, with `arguments` as a shell reads them and `input` on its
  // standard input, in the terminal front end (no display), from `cwd`,
  // under a watchdog. `environment` goes to env(1): options, then settings.
  Outcome plinth(const std::string& arguments, const std::string& input = "",
                 const std::string& cwd = "/", const std::string& environment = "");

  // Every entry under the folder with a digest of its bytes.
  static std::map<std::string, size_t> snapshot(const std::string& folder);
  // The audio of every MP3 file under the folder, whatever the case of its
  // extension, sorted: the files may have been renamed and moved.
  static std::vector<std::string> audio_under(const std::string& folder);
  // Files other than MP3 files, playlists and covers: what a half-done
  // write would leave.
  static std::vector<std::string> strays_under(const std::string& folder);

  // As root, later runs are made as the user "nobody", who is given the
  // test's folders, so that permissions count. False when that cannot be.
  bool run_without_privileges();

  IsolatedConfig config;
  TempDir work;
  TempDir logs;
  std::unique_ptr<StandinServer> server;
  std::string run_as;  // what the program's command line starts with
  int runs = 0;
};

// Whether the texts come in this order in what was drawn.
::testing::AssertionResult in_order(const std::string& drawn,
                                    const std::vector<std::string>& texts);

}  // namespace test_support
