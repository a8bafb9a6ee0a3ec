#include "tests/support/whole_run.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace test_support {

namespace fs = std::filesystem;

const std::string kDefaultSettings = read_file(PLINTH_SOURCE_DIR "/resources/default-settings.xml");
const char kTaggedDemoFolder[] = "[HL 007] Harbour Lights - Night Ferry";
const char* const kDemoTitles[12] = {"Salt Road",       "Night Ferry",    "Lanterns Over Water",
                                     "Harbour Wall",    "The Quiet Deck", "Low Tide Signal",
                                     "Gulls At Four",   "Crossing",       "Paper Boats",
                                     "Foghorn Lullaby", "Pier Lights",    "Morning Landfall"};

Outcome WholeRun::plinth(const std::string& arguments, const std::string& input,
                         const std::string& cwd, const std::string& environment) {
  const std::string name = std::to_string(++runs);
  write_file(logs.file("in" + name), input);
  const std::string proxy = server ? "http_proxy=" + shell_quoted(server->proxy_url()) : "";
  Outcome outcome;
  outcome.trace = run_command("cd " + shell_quoted(cwd) + " && env -u DISPLAY -u WAYLAND_DISPLAY " +
                                  environment + " " + proxy + " timeout -k 5 60 " + run_as +
                                  shell_quoted(PLINTH_BINARY) + " " + arguments + " <" +
                                  shell_quoted(logs.file("in" + name)) + " 2>" +
                                  shell_quoted(logs.file("err" + name)),
                              &outcome.status);
  outcome.drawn = read_file(logs.file("err" + name));
  return outcome;
}

std::map<std::string, size_t> WholeRun::snapshot(const std::string& folder) {
  std::map<std::string, size_t> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    files[entry.path().string()] =
        entry.is_regular_file() ? std::hash<std::string>()(read_file(entry.path().string())) : 0;
  }
  return files;
}

std::vector<std::string> WholeRun::audio_under(const std::string& folder) {
  std::vector<std::string> audio;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    std::string extension = entry.path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
    if (entry.is_regular_file() && extension == ".mp3")
      audio.push_back(audio_bytes(read_file(entry.path().string())));
  }
  std::sort(audio.begin(), audio.end());
  return audio;
}

std::vector<std::string> WholeRun::strays_under(const std::string& folder) {
  std::vector<std::string> strays;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string extension = entry.path().extension().string();
    if (entry.is_regular_file() && extension != ".mp3" && extension != ".m3u" &&
        extension != ".jpg")
      strays.push_back(entry.path().string());
  }
  return strays;
}

bool WholeRun::run_without_privileges() {
  if (geteuid() != 0) return true;
  int status = -1;
  run_command("id -u nobody >/dev/null 2>&1 && command -v setpriv >/dev/null", &status);
  if (status != 0) return false;
  const std::string config_folder = fs::path(config.config_home()).parent_path().string();
  for (const std::string& folder : {work.path(), logs.path(), config_folder}) {
    run_command("chown -R nobody " + shell_quoted(folder), &status);
    if (status != 0) return false;
  }
  run_as = "setpriv --reuid=nobody --regid=$(id -g nobody) --clear-groups -- ";
  return true;
}

::testing::AssertionResult in_order(const std::string& drawn,
                                    const std::vector<std::string>& texts) {
  size_t at = 0;
  for (const std::string& text : texts) {
    if ((at = drawn.find(text, at)) == std::string::npos)
      return ::testing::AssertionFailure() << text << " in\n" << drawn;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace test_support
