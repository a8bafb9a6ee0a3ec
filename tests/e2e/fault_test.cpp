// The whole run, driven by standard input (every page gets its default
// button), against a stand-in web database that misbehaves, and on folders
// and files that cannot be written. Whatever goes wrong, the program must say
// so, end, and leave every file there with its audio as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/isolated_config.h"
#include "tests/support/mp3_files.h"
#include "tests/support/whole_run.h"
#include "tests/support/run_checks.h"
#include "tests/support/standin_server.h"
#include "tests/support/temp_dir.h"


namespace {

using test_support::shell_quoted;

namespace fs = std::filesystem;

// Longer than any run here should take; the watchdog kills the program
// after it, and the test then fails on the exit status.
constexpr int kWatchdogSeconds = 30;
constexpr int kKilledByWatchdog = 124;

const char kAlbumFolder[] = "Harbour_Lights - Night Ferry [HL_007] - (2005)";
const std::vector<std::string> kTitles = {
    "Salt Road",      "Night Ferry",     "Lanterns Over Water", "Harbour Wall",
    "The Quiet Deck", "Low Tide Signal", "Gulls At Four",       "Crossing",
    "Paper Boats",    "Foghorn Lullaby", "Pier Lights",         "Morning Landfall"};

struct Outcome {
  int status = -1;
  std::string out;  // trace lines
  std::string err;  // what the terminal front end drew: pages and boxes
};

class Fault : public ::testing::Test {
 public:
  void TestBody() override {}

 protected:
  void SetUp() override {
    config.write_settings_file(
        "<?xml version=\"1.0\"?>\n<Settings m3u=\"t\" nfo=\"f\" g_dirf=\"[/4] /1 - /2\" "
        "g_m3uf=\"/1 - /2 [/4]\" g_tf=\"/8 - /6 - /7\" />\n");
    parent = work.file("music");
    fs::create_directory(parent);
    album = parent + "/" + kAlbumFolder;
    fs::create_directory(album);
  }

  // The demo release's twelve files, tagged with artist, title and track, so
  // that the artist is the most frequent search-term candidate.
  void make_album(size_t audio_bytes = 48000) {
    std::vector<test_support::Mp3> files;
    for (size_t i = 0; i < kTitles.size(); ++i) {
      const std::string number = (i < 9 ? "0" : "") + std::to_string(i + 1);
      files.push_back({album + "/" + number + " - " + kTitles[i] + ".mp3",
                       {"seed=" + std::to_string(i + 1), "bytes=" + std::to_string(audio_bytes),
                        "TPE1=Harbour Lights", "TIT2=" + kTitles[i],
                        "TRCK=" + std::to_string(i + 1) + "/12"}});
    }
    test_support::make_mp3s(files);
    originals = audio_of_every_mp3();
  }

  // The audio part of every MP3 file under the parent folder, sorted: the
  // files may have been renamed and moved into a renamed folder.
  std::vector<std::string> audio_of_every_mp3() const {
    std::vector<std::string> audio;
    for (const auto& entry : fs::recursive_directory_iterator(parent)) {
      if (!entry.is_regular_file() || entry.path().extension() != ".mp3") continue;
      audio.push_back(test_support::audio_bytes(test_support::read_file(entry.path().string())));
    }
    std::sort(audio.begin(), audio.end());
    return audio;
  }

  // Every file that is neither an MP3 file, the playlist nor the cover:
  // what a half-done write would leave behind.
  std::vector<std::string> stray_files() const {
    std::vector<std::string> strays;
    for (const auto& entry : fs::recursive_directory_iterator(parent)) {
      if (!entry.is_regular_file()) continue;
      const std::string extension = entry.path().extension().string();
      if (extension != ".mp3" && extension != ".m3u" && extension != ".jpg") {
        strays.push_back(entry.path().string());
      }
    }
    return strays;
  }

  Outcome run_plinth(const std::string& proxy) {
    Outcome outcome;
    const std::string err = logs.file("stderr.txt");
    // Forty empty lines: the default button on every page and box.
    outcome.out = test_support::run_command(
        "cd " + shell_quoted(parent) +
            " && awk 'BEGIN { for (i = 0; i < 40; i++) print \"\" }' | " +
            "http_proxy=" + shell_quoted(proxy) + " timeout -k 5 " +
            std::to_string(kWatchdogSeconds) + " " + run_as + shell_quoted(PLINTH_BINARY) + " " +
            shell_quoted(album) + " 2>" + shell_quoted(err),
        &outcome.status);
    outcome.err = test_support::read_file(err);
    return outcome;
  }

  // The program on the album in the background, every page answered with
  // its default button, its output dropped.
  pid_t start_plinth(const std::string& proxy, bool traced = false) {
    const std::string answers = logs.file("answers.txt");
    test_support::write_file(answers, std::string(40, '\n'));
    const std::string binary = PLINTH_BINARY;
    const pid_t pid = fork();
    if (pid != 0) return pid;
    const int in = open(answers.c_str(), O_RDONLY);
    const int out = open("/dev/null", O_WRONLY);
    if (in < 0 || out < 0 || chdir(parent.c_str()) != 0) _exit(127);
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
    setenv("http_proxy", proxy.c_str(), 1);
    if (traced) ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    execl(binary.c_str(), binary.c_str(), album.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }

  Outcome run_against(const std::vector<std::string>& server_args) {
    test_support::StandinServer server(server_args);
    return run_plinth(server.proxy_url());
  }

  // Permissions do not stop root, so as root the program is run as the
  // unprivileged user "nobody", who is given the test's folders. False when
  // that cannot be arranged.
  bool run_without_privileges() {
    if (geteuid() != 0) return true;
    int status = -1;
    test_support::run_command("id -u nobody >/dev/null 2>&1 && command -v setpriv >/dev/null",
                              &status);
    if (status != 0) return false;
    const std::string config_folder = fs::path(config.config_home()).parent_path().string();
    for (const std::string& folder : {work.path(), logs.path(), config_folder}) {
      test_support::run_command("chown -R nobody " + shell_quoted(folder), &status);
      if (status != 0) return false;
    }
    run_as = "setpriv --reuid=nobody --regid=$(id -g nobody) --clear-groups -- ";
    return true;
  }

  void expect_files_intact(const Outcome& outcome) {
    EXPECT_NE(outcome.status, kKilledByWatchdog) << "hung; drew:\n" << outcome.err;
    EXPECT_NE(outcome.status, -1) << "died on a signal; drew:\n" << outcome.err;
    EXPECT_EQ(audio_of_every_mp3(), originals);
    EXPECT_EQ(stray_files(), std::vector<std::string>());
  }

  // After a kill: every payload once, under its old or new name, nothing
  // beside them but the new files of Finish!, which the next run removes.
  void expect_killed_run_tidied() {
    EXPECT_EQ(audio_of_every_mp3(), originals);
    for (const std::string& stray : stray_files()) {
      EXPECT_NE(stray.find("/.plinth-new-"), std::string::npos) << stray;
    }
    expect_files_intact(run_against({}));
  }

  test_support::IsolatedConfig config;
  test_support::TempDir work;
  test_support::TempDir logs;
  std::string parent;
  std::string album;
  std::vector<std::string> originals;
  std::string run_as;  // what the program's command line starts with
};

// A file the program has open in the folder that has no name there yet: one
// made with O_TMPFILE reads "<folder>/#<inode> (deleted)", the named
// fallback "<folder>/.plinth-...".
bool is_new_file_in(const std::string& link, const std::string& folder) {
  const std::string deleted = " (deleted)";
  const bool unnamed = link.rfind(folder + "/#", 0) == 0 && link.size() > deleted.size() &&
                       link.compare(link.size() - deleted.size(), deleted.size(), deleted) == 0;
  return unnamed || link.rfind(folder + "/.plinth-", 0) == 0;
}

struct WriteInProgress {
  bool found = false;
  std::string file;  // the open file's link
  long long bytes = 0;
  int ordinal = 0;  // which track write of the run it is
};

// Files of a megabyte or more are tracks (the cover and playlist are smaller).
constexpr long long kTrackWriteBytes = 1 << 20;

// The new files of at least a track's size that the process has open in the folder.
std::vector<WriteInProgress> track_writes_of(pid_t pid, const std::string& folder) {
  std::vector<WriteInProgress> writes;
  std::error_code error;
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  for (const auto& entry : fs::directory_iterator(fds, error)) {
    const std::string link = fs::read_symlink(entry.path(), error).string();
    struct stat info;
    if (error || !is_new_file_in(link, folder) || stat(entry.path().c_str(), &info) != 0) continue;
    if (info.st_size >= kTrackWriteBytes) writes.push_back({true, link, info.st_size});
  }
  return writes;
}

// How many new files Finish! has begun beside the tracks: they stay
// there, named, until the shared flush.
int files_begun(const std::string& folder) {
  int begun = 0;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (entry.path().filename().string().rfind(".plinth-new-", 0) == 0) ++begun;
  }
  return begun;
}

// Watches the process until it is writing its nth track file or a later one
// and stops it there with SIGSTOP. Which write it is follows from how many
// new files have been begun. Not found when the process ended first.
WriteInProgress stop_during_write(pid_t pid, const std::string& folder, int nth) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < give_up) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) != 0) return WriteInProgress();
    if (!track_writes_of(pid, folder).empty()) {
      kill(pid, SIGSTOP);
      const std::vector<WriteInProgress> writes = track_writes_of(pid, folder);
      if (!writes.empty() && files_begun(folder) >= nth) {
        WriteInProgress caught = writes.front();
        caught.ordinal = files_begun(folder);
        return caught;
      }
      kill(pid, SIGCONT);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  return WriteInProgress();
}

bool is_rename(long call) {
  return call == SYS_rename || call == SYS_renameat || call == SYS_renameat2;
}

// Runs a traced process until it enters its first fdatasync, the shared
// flush of the new files (renames = 0), or the nth rename after that, and
// leaves it stopped there. False when it ended first.
bool run_to_syscall(pid_t pid, int renames) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFSTOPPED(status)) return false;  // at exec
  ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
  bool flushed = false;
  int seen = 0;
  int signal = 0;
  for (;;) {
    ptrace(PTRACE_SYSCALL, pid, nullptr, signal);
    signal = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFSTOPPED(status)) return false;
    if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
      signal = WSTOPSIG(status);  // not ours: delivered as it came
      continue;
    }
    __ptrace_syscall_info info;
    if (ptrace(PTRACE_GET_SYSCALL_INFO, pid, sizeof info, &info) <= 0 ||
        info.op != PTRACE_SYSCALL_INFO_ENTRY) {
      continue;
    }
    const long call = static_cast<long>(info.entry.nr);
    if (!flushed && call == SYS_fdatasync) {
      flushed = true;
      if (renames == 0) return true;
    } else if (flushed && is_rename(call) && ++seen == renames) {
      return true;
    }
  }
}

bool names_a_fault(const std::string& drawn) {
  for (const char* word : {"rror", "ould not", "ailed", "annot", "occured", "imed out"}) {
    if (drawn.find(word) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

TEST_F(Fault, TheDemoAlbumGoesThroughWhenNothingIsWrong) {
  make_album();
  const Outcome outcome = run_against({});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  expect_files_intact(outcome);
  EXPECT_FALSE(fs::exists(album)) << "the folder was not renamed; drew:\n" << outcome.err;
}

class ServerFault : public Fault, public ::testing::WithParamInterface<const char*> {};

TEST_P(ServerFault, IsReportedAndLeavesTheFilesAsTheyWere) {
  make_album();
  const Outcome outcome = run_against({"--fault", GetParam()});
  expect_files_intact(outcome);
  EXPECT_TRUE(names_a_fault(outcome.err)) << "drew:\n" << outcome.err;
  if (GetParam() == std::string("refuse")) {
    EXPECT_NE(outcome.err.find("Could not connect to web server"), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryRequest, ServerFault,
                         ::testing::Values("refuse", "reset-mid-body",
                                           "status-404", "status-500", "redirect-loop"),
                         [](const auto& info) {
                           std::string name = info.param;
                           name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                           return name;
                         });

TEST_F(Fault, AHugePageIsCutAtTheBufferAndTheRunGoesOn) {
  make_album();
  const Outcome outcome = run_against({"--fault", "huge-page"});
  expect_files_intact(outcome);
}

TEST_F(Fault, AHugeCoverLeavesTheFilesWhole) {
  make_album();
  const Outcome outcome = run_against({"--fault", "huge-cover"});
  expect_files_intact(outcome);
}

TEST_F(Fault, AFailedCoverDownloadLeavesTheFilesWhole) {
  make_album();
  const Outcome outcome = run_against({"--fault", "status-500", "--fault-path", "/R/"});
  expect_files_intact(outcome);
}

TEST_F(Fault, AReadOnlyFolderIsReportedAndNothingChanges) {
  make_album();
  if (!run_without_privileges())
    GTEST_SKIP() << "running as root, and no user \"nobody\" to run as";
  chmod(album.c_str(), 0555);
  const Outcome outcome = run_against({});
  chmod(album.c_str(), 0755);
  expect_files_intact(outcome);
  EXPECT_TRUE(names_a_fault(outcome.err)) << "drew:\n" << outcome.err;
}

TEST_F(Fault, AReadOnlyFileIsLeftAloneAndReported) {
  make_album();
  if (!run_without_privileges())
    GTEST_SKIP() << "running as root, and no user \"nobody\" to run as";
  const std::string first = album + "/01 - Salt Road.mp3";
  const std::string before = test_support::read_file(first);
  chmod(first.c_str(), 0444);
  const Outcome outcome = run_against({});
  expect_files_intact(outcome);
  EXPECT_TRUE(names_a_fault(outcome.err)) << "drew:\n" << outcome.err;
  bool untouched = false;  // under its old name or a new one
  for (const auto& entry : fs::recursive_directory_iterator(parent)) {
    if (entry.is_regular_file() && test_support::read_file(entry.path().string()) == before) {
      untouched = true;
    }
  }
  EXPECT_TRUE(untouched);
}

TEST_F(Fault, ATargetNameThatExistsIsNotReplaced) {
  make_album();
  // Where the folder would go.
  const std::string taken = parent + "/[HL 007] Harbour Lights - Night Ferry";
  fs::create_directory(taken);
  test_support::write_file(taken + "/keep.txt", "mine");
  const Outcome outcome = run_against({});
  EXPECT_EQ(test_support::read_file(taken + "/keep.txt"), "mine");
  EXPECT_NE(outcome.status, kKilledByWatchdog);
  EXPECT_EQ(audio_of_every_mp3(), originals);
}

// A small tmpfs holding the album with little room to spare: the tag
// rewrites run out of space part way.
TEST_F(Fault, ADiskThatFillsDuringFinishLeavesEveryFileWhole) {
  const std::string mount_point = work.file("small-disk");
  fs::create_directory(mount_point);
  int status = -1;
  const size_t album_kb = kTitles.size() * 60 + 200;
  test_support::run_command("mount -t tmpfs -o size=" + std::to_string(album_kb) + "k tmpfs " +
                                shell_quoted(mount_point) + " 2>&1",
                            &status);
  if (status != 0) GTEST_SKIP() << "cannot mount a tmpfs here (needs root), so no disk to fill";
  parent = mount_point + "/music";
  album = parent + "/" + kAlbumFolder;
  fs::create_directories(album);
  make_album();
  // Fill what is left but a few kilobytes.
  test_support::run_command("dd if=/dev/zero of=" + shell_quoted(mount_point + "/filler") +
                            " bs=1k 2>/dev/null; truncate -s -8k " +
                            shell_quoted(mount_point + "/filler"));
  const Outcome outcome = run_against({});
  // A tag that cannot be written is passed over silently, so the check is
  // that every file is whole, not that the user was told.
  expect_files_intact(outcome);
  test_support::run_command("umount " + shell_quoted(mount_point));
}

// Stops the program while it has a new file open that is not yet in place
// (the tag write of one track, with the audio being copied or flushed),
// kills it there with SIGKILL, and checks what it leaves: every track whole
// under one name or the other, nothing half-written under a track's name.
class KillDuringWrite : public Fault, public ::testing::WithParamInterface<int> {};

TEST_P(KillDuringWrite, LeavesEveryFileWholeUnderSomeName) {
  const int nth_write = GetParam();
  make_album(8 * 1024 * 1024);
  test_support::StandinServer server;
  const pid_t pid = start_plinth(server.proxy_url());
  ASSERT_GT(pid, 0);
  const WriteInProgress caught = stop_during_write(pid, album, nth_write);
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(caught.found) << "the program ended before its write number " << nth_write;
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_GT(caught.bytes, 0) << caught.file;
  EXPECT_GE(caught.ordinal, nth_write);

  expect_killed_run_tidied();
}

INSTANTIATE_TEST_SUITE_P(MiddleTrack, KillDuringWrite, ::testing::Values(6));

// A release page that names its fields with the code page's escapes, control
// characters or "..": whatever the name templates make of them, nothing
// outside the album folder is created, changed or read into a tag, and every
// track is inside it exactly once, under a name without control characters.
namespace {

struct HostileCase {
  std::string name;
  const char* page_text;    // replaced on the release page as it is rendered
  const char* replacement;  // "%s" stands for the hostile value
  const char* placeholder;  // of the field in every name template; "" for the defaults
  std::string value;        // '|' stands for an escaped '/', {WORK} for the test's folder
  std::string slash;
};

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

const std::string k8D = "\x8D";
const std::string k81 = "\x81";

std::vector<HostileCase> hostile_cases() {
  struct Field {
    const char* name;
    const char* page_text;
    const char* replacement;
    const char* placeholder;
  };
  const Field fields[] = {
      {"TrackNumber", "<td class=\"pos\">1</td>", "<td class=\"pos\">%s</td>", "/8"},
      {"Label", ">Tidewater Records</a>", ">%s</a>", "/3"},
      {"CatalogNumber", "<td>HL 007</td>", "<td>%s</td>", "/4"},
      {"Date", "Released:</td><td>2005</td>", "Released:</td><td>%s</td>", "/5"},
      {"Style", "Style:</td><td>Downtempo, Ambient</td>", "Style:</td><td>%s</td>", "/9"}};
  struct Value {
    const char* name;
    std::string value;
    std::string slash;
  };
  const Value values[] = {{"ByteEscape", "..|victim", k8D + "2F"},
                          {"CharEscape", "..|victim", k81 + "2f;"},
                          {"ZeroByte", "cut" + k8D + "00off", ""},
                          {"Terminal", "\x1b]0;owned\x07\x1b[31mred", ""}};
  std::vector<HostileCase> cases;
  for (const Field& f : fields) {
    for (const Value& v : values) {
      cases.push_back({std::string(f.name) + v.name, f.page_text, f.replacement, f.placeholder,
                       v.value, v.slash});
    }
  }
  // The cover's address: a new file at an absolute path, or an existing
  // file outside read into every tag.
  const char* cover = "/R/t/R-100101.jpg\"";
  cases.push_back({"CoverToANewFile", cover, "/R/t/%s\"", "", "{WORK}|outside.jpg", k8D + "2F"});
  cases.push_back({"CoverFromAFileOutside", cover, "/R/t/%s\"", "", "{WORK}|secret.jpg",
                   k81 + "2f;"});
  return cases;
}

bool has_control_character(const std::string& name) {
  return std::any_of(name.begin(), name.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
  });
}

class HostilePage : public Fault, public ::testing::WithParamInterface<HostileCase> {
 protected:
  static void SetUpTestSuite() {
    test_support::TempDir pages;
    const char* python = std::getenv("PLINTH_TEST_PYTHON");
    test_support::run_command(std::string(python != nullptr ? python : "/usr/bin/python3") +
                              " " PLINTH_SOURCE_DIR "/tools/standin_server.py --write-pages " +
                              shell_quoted(pages.path()) + " >/dev/null");
    rendered_page_ = test_support::read_file(pages.file("release/100101.html"));
  }

  // The hostile value with its escapes and the test's folder filled in.
  std::string hostile_value() const {
    const HostileCase& c = GetParam();
    std::string value = c.value;
    const size_t work_at = value.find("{WORK}");
    if (work_at != std::string::npos) value.replace(work_at, 6, work.path());
    std::string escaped;
    for (const char ch : value) escaped += ch == '|' || ch == '/' ? c.slash : std::string(1, ch);
    return escaped;
  }

  // The stock catalogue, with the release page replaced by the hostile one
  // and a picture at the path a cover address with escapes stands for.
  std::string hostile_catalogue() const {
    const HostileCase& c = GetParam();
    const std::string folder = catalogue.file("catalogue");
    fs::copy(PLINTH_SOURCE_DIR "/tools/catalogue", folder, fs::copy_options::recursive);
    const std::string outside_picture = folder + "/covers" + work.path() + "/outside.jpg";
    fs::create_directories(fs::path(outside_picture).parent_path());
    test_support::write_file(outside_picture, "NEW-PICTURE-FROM-THE-SERVER");
    std::string page = rendered_page_;
    const size_t at = page.find(c.page_text);
    EXPECT_NE(at, std::string::npos) << c.page_text;
    std::string replacement = c.replacement;
    replacement.replace(replacement.find("%s"), 2, hostile_value());
    page.replace(at, std::string(c.page_text).size(), replacement);
    fs::create_directories(folder + "/pages/release");
    test_support::write_file(folder + "/pages/release/100101.html", page);
    return folder;
  }

  void use_templates(const std::string& placeholder) {
    if (placeholder.empty()) return;
    config.write_settings_file(
        "<?xml version=\"1.0\"?>\n<Settings m3u=\"t\" nfo=\"f\" g_dirf=\"" + placeholder +
        "\" g_m3uf=\"" + placeholder + "\" g_tf=\"" + placeholder + " /7\" />\n");
  }

  // Every entry under the test's folder outside the album, with the content
  // of each file.
  std::map<std::string, std::string> outside_of(const std::string& album_folder) const {
    std::map<std::string, std::string> seen;
    for (auto it = fs::recursive_directory_iterator(work.path());
         it != fs::recursive_directory_iterator(); ++it) {
      if (it->path() == album_folder) {
        it.disable_recursion_pending();
        continue;
      }
      seen[it->path().string()] =
          it->is_regular_file() ? test_support::read_file(it->path().string()) : "<entry>";
    }
    return seen;
  }

  std::vector<std::string> audio_under(const std::string& root) const {
    std::vector<std::string> audio;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      if (!entry.is_regular_file() || entry.path().extension() != ".mp3") continue;
      audio.push_back(test_support::audio_bytes(test_support::read_file(entry.path().string())));
    }
    std::sort(audio.begin(), audio.end());
    return audio;
  }

  test_support::TempDir catalogue;
  static std::string rendered_page_;
};

std::string HostilePage::rendered_page_;

}  // namespace

TEST_P(HostilePage, NothingOutsideTheAlbumIsTouched) {
  make_album();
  test_support::write_file(work.file("secret.jpg"), "SECRET-PICTURE-BYTES");
  test_support::write_file(parent + "/victim.m3u", "a playlist of someone else's");
  use_templates(GetParam().placeholder);
  const std::map<std::string, std::string> outside_before = outside_of(album);

  const Outcome outcome = run_against({"--catalogue", hostile_catalogue()});
  EXPECT_NE(outcome.status, kKilledByWatchdog) << "hung; drew:\n" << outcome.err;
  std::vector<std::string> folders;
  for (const auto& entry : fs::directory_iterator(parent)) {
    if (entry.is_directory()) folders.push_back(entry.path().string());
  }
  ASSERT_EQ(folders.size(), 1u) << "the album left its parent; drew:\n" << outcome.err;
  const std::string album_after = folders[0];
  EXPECT_EQ(outside_of(album_after), outside_before) << outcome.err;
  EXPECT_TRUE(audio_under(album_after) == originals) << "not every track is inside, once";
  EXPECT_TRUE(audio_under(work.path()) == originals) << "a track is outside the album too";
  for (const auto& entry : fs::recursive_directory_iterator(parent)) {
    EXPECT_FALSE(has_control_character(entry.path().filename().string())) << entry.path();
    if (entry.path().extension() == ".mp3") {
      EXPECT_EQ(test_support::read_file(entry.path().string()).find("SECRET-PICTURE-BYTES"),
                std::string::npos)
          << entry.path();
    }
  }
  EXPECT_EQ(outcome.err.find('\x1b'), std::string::npos) << "raw escape sequence on the terminal";
}

INSTANTIATE_TEST_SUITE_P(FieldsAndValues, HostilePage, ::testing::ValuesIn(hostile_cases()),
                         [](const auto& info) { return info.param.name; });

// Kills the program at the moment Finish! enters its one flush of the new
// files (0) or at its nth rename after it: the first twelve put the new
// files in place of the old, the rest give them their new names. Every
// payload must be there once, under its old or new name, and the next run
// must remove what is left beside them.
class KillBetweenRenames : public Fault, public ::testing::WithParamInterface<int> {};

TEST_P(KillBetweenRenames, LeavesEachPayloadOnceAndTheNextRunTidies) {
  make_album(2 * 1024 * 1024);
  {
    test_support::StandinServer server;
    const pid_t pid = start_plinth(server.proxy_url(), true);
    ASSERT_GT(pid, 0);
    const bool reached = run_to_syscall(pid, GetParam());
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(reached) << "the program ended before that point";
  }
  if (GetParam() <= 12) {
    EXPECT_EQ(stray_files().size(), GetParam() == 0 ? 12u : 13u - static_cast<size_t>(GetParam()));
  }
  expect_killed_run_tidied();
}

INSTANTIATE_TEST_SUITE_P(FlushReplacementsAndMoves, KillBetweenRenames,
                         ::testing::Values(0, 1, 7, 13, 19));

namespace {

// The demo album's files (tools/make_demo_album.py), and the names they get.
std::vector<std::string> demo_album_files() {
  return {"01 - Salt Road.mp3",       "02 - Night Ferry.mp3",  "03 - lanterns over water.mp3",
          "04 Harbour Wall.mp3",      "05 The Quiet Deck.mp3", "06_low_tide_signal.mp3",
          "07 gulls at four.mp3",     "08 - Crossing.mp3",     "09 - Paper Boats.mp3",
          "10 - Foghorn Lullaby.mp3", "11 pier lights.mp3",    "12 - Morning Landfall.mp3"};
}

std::vector<std::string> tagged_demo_files() {
  std::vector<std::string> names;
  for (size_t i = 0; i < kTitles.size(); ++i)
    names.push_back((i < 9 ? "0" : "") + std::to_string(i + 1) + " - Harbour Lights - " +
                    kTitles[i] + ".mp3");
  return names;
}

}  // namespace

// Finish! on the demo album and then --undo: the album comes back as it
// was, byte for byte; a file changed since is left alone and named; a kill
// during --undo loses nothing and a second --undo completes the job.
class Undo : public Fault {
 protected:
  void SetUp() override {
    Fault::SetUp();
    fs::remove(album);
    test_support::make_demo_album(parent);
    before = every_file();
    originals = audio_of_every_mp3();
    tagged = parent + "/" + test_support::kTaggedDemoFolder;
  }

  // Every file under the parent folder, by path, with its bytes.
  std::map<std::string, std::string> every_file() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(parent)) {
      files[entry.path().string()] =
          entry.is_regular_file() ? test_support::read_file(entry.path().string()) : "folder";
    }
    return files;
  }

  void finish() {
    const Outcome outcome = run_against({});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    ASSERT_TRUE(fs::exists(tagged)) << outcome.err;
    EXPECT_NE(outcome.err.find("To take this run back: plinth --undo " + shell_quoted(tagged)),
              std::string::npos)
        << outcome.err;
  }

  Outcome plinth_option(const std::string& arguments) {
    Outcome outcome;
    outcome.out = test_support::run_command(
        shell_quoted(PLINTH_BINARY) + " " + arguments + " 2>&1 </dev/null", &outcome.status);
    return outcome;
  }

  std::map<std::string, std::string> before;
  std::string tagged;
};

TEST_F(Undo, GivesBackTheAlbumByteForByteOnceAndTheHistoryShowsIt) {
  finish();
  const Outcome undone = plinth_option("--undo " + shell_quoted(tagged));
  EXPECT_EQ(undone.status, 0) << undone.out;
  EXPECT_TRUE(every_file() == before) << undone.out;
  EXPECT_NE(undone.out.find("renamed the folder back to"), std::string::npos) << undone.out;

  const Outcome again = plinth_option("--undo " + shell_quoted(tagged));
  EXPECT_EQ(again.status, 0);
  EXPECT_NE(again.out.find("was already taken back"), std::string::npos) << again.out;
  EXPECT_TRUE(every_file() == before);
  const Outcome history = plinth_option("--history " + shell_quoted(album));
  EXPECT_NE(history.out.find(shell_quoted(album) + " -> " + shell_quoted(tagged) + "  12 files  (taken back"),
            std::string::npos)
      << history.out;
}

TEST_F(Undo, AFileChangedSinceIsLeftAloneAndNamedAndTheRestComesBack) {
  finish();
  const std::vector<std::string> names = tagged_demo_files();
  const std::string edited = tagged + "/" + names[0];
  const std::string moved = tagged + "/" + names[1];
  int status = -1;
  test_support::run_command("/usr/bin/python3 -c 'import sys; from mutagen.id3 import ID3, TIT2; "
                            "t = ID3(sys.argv[1]); t.add(TIT2(encoding=3, text=\"Mine\")); "
                            "t.save()' " + shell_quoted(edited),
                            &status);
  ASSERT_EQ(status, 0);
  fs::rename(moved, tagged + "/mine.mp3");
  const std::string edited_bytes = test_support::read_file(edited);

  const Outcome undone = plinth_option("--undo " + shell_quoted(tagged));
  EXPECT_NE(undone.status, 0);
  EXPECT_NE(undone.out.find("left alone: '" + names[0] + "': its tags were changed since"),
            std::string::npos)
      << undone.out;
  EXPECT_NE(undone.out.find("left alone: '" + names[1] + "': it was renamed or removed since"),
            std::string::npos)
      << undone.out;
  EXPECT_TRUE(audio_of_every_mp3() == originals);
  EXPECT_TRUE(test_support::read_file(album + "/" + names[0]) == edited_bytes);
  EXPECT_TRUE(fs::exists(album + "/mine.mp3"));
  const std::vector<std::string> old_names = demo_album_files();
  for (size_t i = 2; i < old_names.size(); ++i) {
    const std::string path = album + "/" + old_names[i];
    EXPECT_TRUE(test_support::read_file(path) == before[path]) << path;
  }
}

// A journal damaged or edited by hand is refused, and nothing is touched.
TEST_F(Undo, ADamagedJournalIsRefusedAndNothingChanges) {
  finish();
  const std::string journals = config.state_home() + "/plinth/journal";
  ASSERT_EQ(std::distance(fs::directory_iterator(journals), fs::directory_iterator()), 1);
  const std::string journal = fs::directory_iterator(journals)->path().string();
  std::string text = test_support::read_file(journal);
  text[text.find("file ") + 5] ^= 1;
  test_support::write_file(journal, text);
  const auto finished = every_file();
  const Outcome undone = plinth_option("--undo " + shell_quoted(tagged));
  EXPECT_NE(undone.status, 0);
  EXPECT_NE(undone.out.find("is damaged or was edited"), std::string::npos) << undone.out;
  EXPECT_TRUE(every_file() == finished);
}

// The journal's own program, traced, to be killed at the moment given.
pid_t start_undo_traced(const std::string& folder) {
  const std::string binary = PLINTH_BINARY;
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const int out = open("/dev/null", O_WRONLY);
  dup2(out, STDOUT_FILENO);
  dup2(out, STDERR_FILENO);
  ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
  execl(binary.c_str(), binary.c_str(), "--undo", folder.c_str(), static_cast<char*>(nullptr));
  _exit(127);
}

class KillDuringUndo : public Undo, public ::testing::WithParamInterface<int> {};

TEST_P(KillDuringUndo, LosesNothingAndASecondUndoCompletesIt) {
  finish();
  const pid_t pid = start_undo_traced(tagged);
  ASSERT_GT(pid, 0);
  const bool reached = run_to_syscall(pid, GetParam());
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(reached) << "--undo ended before that point";
  EXPECT_TRUE(audio_of_every_mp3() == originals);

  const Outcome undone = plinth_option("--undo " + shell_quoted(tagged));
  EXPECT_EQ(undone.status, 0) << undone.out;
  EXPECT_TRUE(every_file() == before) << undone.out;
}

INSTANTIATE_TEST_SUITE_P(FlushReplacementsAndMoves, KillDuringUndo, ::testing::Values(0, 5, 15));
