// The whole run, driven by standard input (every page gets its default
// button), against a stand-in web database that misbehaves or serves hostile
// pages, on folders and files that cannot be written, and killed part way.
// Whatever goes wrong, the program must say so, end, and leave every file
// there with its audio as it was.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <sys/user.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "tests/support/whole_run.h"

using test_support::kDemoTitles;
using test_support::Outcome;
using test_support::read_file;
using test_support::shell_quoted;
using test_support::write_file;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

namespace fs = std::filesystem;

constexpr int kKilledByWatchdog = 124;
const std::string kEveryDefault(40, '\n');  // the default button on every page and box

const char kAlbumFolder[] = "Harbour_Lights - Night Ferry [HL_007] - (2005)";

// A fault named in what the program drew: an error box or message.
bool names_a_fault(const std::string& drawn) {
  for (const char* word : {"rror", "ould not", "ailed", "annot", "occured", "imed out",
                           "was cut off", "took longer than", "was larger than"}) {
    if (drawn.find(word) != std::string::npos) return true;
  }
  return false;
}

bool is_rename(long call) {
  return call == SYS_rename || call == SYS_renameat || call == SYS_renameat2;
}

// Lets a process traced from its exec run to its next system call, and
// stops it there; false when it ended first.
bool next_call(pid_t pid, __ptrace_syscall_info& info) {
  int status = 0;
  int signal = 0;
  for (;;) {
    ptrace(PTRACE_SYSCALL, pid, nullptr, signal);
    signal = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFSTOPPED(status)) return false;
    if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
      signal = WSTOPSIG(status);  // not ours: delivered as it came
      continue;
    }
    if (ptrace(PTRACE_GET_SYSCALL_INFO, pid, sizeof info, &info) > 0 &&
        info.op == PTRACE_SYSCALL_INFO_ENTRY) {
      return true;
    }
  }
}

bool traced_from_exec(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFSTOPPED(status) &&
         ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL) == 0;
}

// Runs a traced process to a point and leaves it stopped there: with a
// negative point, its -point'th write into a file (a track of 2 MB takes
// nine, into its new file); with 0, its first fdatasync, the shared flush of
// the new files; with n > 0, its nth rename after that flush. False when it
// ended first.
bool run_to_syscall(pid_t pid, int point) {
  if (!traced_from_exec(pid)) return false;
  bool flushed = false;
  int writes = 0;
  int renames = 0;
  __ptrace_syscall_info info;
  while (next_call(pid, info)) {
    const long call = static_cast<long>(info.entry.nr);
    const bool write = call == SYS_pwrite64 || call == SYS_copy_file_range;
    if (!flushed && write && ++writes == -point) return true;
    if (!flushed && call == SYS_fdatasync) {
      flushed = true;
      if (point == 0) return true;
    } else if (flushed && is_rename(call) && ++renames == point) {
      return true;
    }
  }
  return false;
}

// Whether one of the call's first four arguments is a path holding part;
// any call does for an empty part.
bool names_path(pid_t pid, const __ptrace_syscall_info& info, const std::string& part) {
  if (part.empty()) return true;
  for (int i = 0; i < 4; ++i) {
    char path[4096] = "";
    iovec local{path, sizeof path - 1};
    iovec remote{reinterpret_cast<void*>(info.entry.args[i]), sizeof path - 1};
    if (process_vm_readv(pid, &local, 1, &remote, 1, 0) > 0 && std::strstr(path, part.c_str()))
      return true;
  }
  return false;
}

// Runs a traced process to its first `call` of a path holding `part`, which
// the system refuses with `error` without making it; the process then goes
// on untraced. False when it made no such call. (x86-64 registers.)
// With `flags`, only a call whose argument `at` holds them all.
bool refuse_call(pid_t pid, long call, const std::string& part, int error, int at = 0,
                 uint64_t flags = 0) {
  if (!traced_from_exec(pid)) return false;
  __ptrace_syscall_info info;
  while (next_call(pid, info)) {
    if (static_cast<long>(info.entry.nr) != call || !names_path(pid, info, part)) continue;
    if ((info.entry.args[at] & flags) != flags) continue;
    user_regs_struct regs;
    ptrace(PTRACE_GETREGS, pid, nullptr, &regs);
    regs.orig_rax = static_cast<unsigned long long>(-1);  // no call is made
    ptrace(PTRACE_SETREGS, pid, nullptr, &regs);
    ptrace(PTRACE_SYSCALL, pid, nullptr, 0);
    if (waitpid(pid, nullptr, 0) != pid) return false;  // at the call's end
    ptrace(PTRACE_GETREGS, pid, nullptr, &regs);
    regs.rax = static_cast<unsigned long long>(-error);
    ptrace(PTRACE_SETREGS, pid, nullptr, &regs);
    ptrace(PTRACE_DETACH, pid, nullptr, nullptr);
    return true;
  }
  return false;
}

class Fault : public test_support::WholeRun {
 protected:
  Fault() : parent(work.file("music")), album(parent + "/" + kAlbumFolder) {
    fs::create_directories(album);
  }

  // The demo release's twelve files, tagged with artist, title and track, so
  // that the artist is the most frequent search-term candidate.
  void make_album(size_t audio_bytes = 48000) {
    std::vector<test_support::Mp3> files;
    for (int i = 0; i < 12; ++i) {
      const std::string n = std::to_string(i + 1);
      files.push_back({album + "/" + (i < 9 ? "0" : "") + n + " - " + kDemoTitles[i] + ".mp3",
                       {"seed=" + n, "bytes=" + std::to_string(audio_bytes), "TPE1=Harbour Lights",
                        std::string("TIT2=") + kDemoTitles[i], "TRCK=" + n + "/12"}});
    }
    test_support::make_mp3s(files);
    originals = audio_under(parent);
  }

  // The program on the album from its parent folder, every page answered
  // with its default button, against the stand-in started with these
  // arguments.
  Outcome run_against(const std::vector<std::string>& server_args,
                      const std::string& environment = "",
                      const std::string& answers = kEveryDefault) {
    start_server(server_args);
    return plinth(shell_quoted(album), answers, parent, environment);
  }

  void expect_files_intact(const Outcome& outcome) {
    EXPECT_NE(outcome.status, kKilledByWatchdog) << "hung; drew:\n" << outcome.drawn;
    EXPECT_NE(outcome.status, -1) << "died on a signal; drew:\n" << outcome.drawn;
    EXPECT_EQ(audio_under(parent), originals);
    EXPECT_EQ(strays_under(parent), std::vector<std::string>());
  }

  // The program with these arguments, traced, from the parent folder, every
  // page answered with its default button, killed at the point given (see
  // run_to_syscall). False when it ended before that point.
  bool kill_at(const std::vector<std::string>& arguments, int point) {
    const pid_t pid = stop_at(arguments, point);
    if (pid <= 0) return false;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return true;
  }

  // The same program stopped there instead, what it draws going to
  // logs.file("stopped"); 0 when it ended before that point.
  pid_t stop_at(const std::vector<std::string>& arguments, int point) {
    const pid_t pid = start_traced(arguments);
    if (pid <= 0) return 0;
    if (run_to_syscall(pid, point)) return pid;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return 0;
  }

  // The program started to be traced from its exec, as stop_at starts it.
  // Its input is `typed`; `environment` holds NAME=VALUE settings.
  pid_t start_traced(std::vector<std::string> arguments, const std::string& typed = kEveryDefault,
                     const std::vector<std::string>& environment = {}) {
    const std::string answers = logs.file("answers");
    write_file(answers, typed);
    arguments.insert(arguments.begin(), PLINTH_BINARY);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(&argument[0]);
    argv.push_back(nullptr);
    const std::string proxy = server ? server->proxy_url() : "";
    const std::string stopped_drawn = logs.file("stopped");
    const pid_t pid = fork();
    if (pid == 0) {
      const int in = open(answers.c_str(), O_RDONLY);
      const int out = open("/dev/null", O_WRONLY);
      const int drawn = open(stopped_drawn.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (in < 0 || out < 0 || drawn < 0 || chdir(parent.c_str()) != 0) _exit(127);
      dup2(in, STDIN_FILENO);
      dup2(out, STDOUT_FILENO);
      dup2(drawn, STDERR_FILENO);
      setenv("http_proxy", proxy.c_str(), 1);
      for (const std::string& setting : environment) putenv(const_cast<char*>(setting.c_str()));
      ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    return pid;
  }

  std::string parent;
  std::string album;
  std::vector<std::string> originals;
};

}  // namespace

// What the stand-in does wrong, and what the box says: nullptr where the
// run goes on without that answer, "" for any fault named. The lookups go
// to the site's pages, or to the API where `api` says so.
struct ServerCase {
  const char* name;
  std::vector<std::string> args;
  const char* told;
  bool api = false;
  // A fault on the search needs one search and its box; more would only
  // search again, each time as slowly.
  bool only_the_search = false;
};

void PrintTo(const ServerCase& c, std::ostream* os) { *os << c.name; }

class ServerFault : public Fault, public ::testing::WithParamInterface<ServerCase> {};

TEST_P(ServerFault, IsReportedOrPassedOverAndLeavesTheFilesAsTheyWere) {
  make_album();
  const Outcome outcome = run_against(
      GetParam().args,
      GetParam().api ? "DISCOGS_TOKEN=standin-token PLINTH_API_URL=http://api.discogs.com" : "",
      GetParam().only_the_search ? "\n\n" : kEveryDefault);
  expect_files_intact(outcome);
  if (GetParam().told == nullptr) return;
  EXPECT_TRUE(names_a_fault(outcome.drawn)) << "drew:\n" << outcome.drawn;
  std::string drawn = outcome.drawn;  // the terminal wraps a box's lines
  std::replace(drawn.begin(), drawn.end(), '\n', ' ');
  EXPECT_THAT(drawn, HasSubstr(GetParam().told));
}

INSTANTIATE_TEST_SUITE_P(
    EveryRequest, ServerFault,
    ::testing::Values(
        ServerCase{"refuse",
                   {"--fault", "refuse"},
                   "Could not connect to web server No connection to www.discogs.com: "},
        ServerCase{"resetmidbody",
                   {"--fault", "reset-mid-body"},
                   "The answer for the search from www.discogs.com was cut off",
                   false,
                   true},
        ServerCase{"apiresetmidbody",
                   {"--fault", "reset-mid-body"},
                   "The answer for the search from api.discogs.com was cut off",
                   true,
                   true},
        ServerCase{"apihugeanswer",
                   {"--fault", "huge-json"},
                   "The answer for the search from api.discogs.com was larger than 64 MB.",
                   true,
                   true},
        ServerCase{"status404", {"--fault", "status-404"}, ""},
        // A huge page is cut at the buffer; a cover that is huge or fails
        // leaves the album without one.
        ServerCase{"hugepage", {"--fault", "huge-page"}, nullptr},
        ServerCase{"hugecover", {"--fault", "huge-cover"}, nullptr},
        ServerCase{"failedcover", {"--fault", "status-500", "--fault-path", "/R/"}, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// A fault on the artist's page: a box names it, and the run goes on, by
// another way to the release (its label) that the fault does not touch.
// How each kind of fault is named is the lookup box's own test.
TEST_F(Fault, OnTheArtistsPageIsNamedInABoxAndTheRunGoesOn) {
  make_album();
  start_server({"--fault", "status-404", "--fault-path", "/artist/"});
  // The artist, its page fails; OK, back, the label instead, on to Done.
  const Outcome outcome =
      plinth(shell_quoted(album), "\n\n\nback\n= Tidewater Records\n\n\n\n\n\n\n\n", parent,
             "COLUMNS=1000");
  EXPECT_TRUE(test_support::in_order(
      outcome.drawn, {"=== Select search result term", "== (!) Error! ==", "www.discogs.com",
                      "HTTP status 404", "=== Select search result term", "=== Select search term",
                      "Tidewater Records (Label)", "=== Confirm track matches", "Done!"}));
  EXPECT_EQ(outcome.status, 0);
  expect_files_intact(outcome);
  EXPECT_TRUE(fs::is_directory(parent + "/" + test_support::kTaggedDemoFolder)) << outcome.drawn;
}

// A read-only album folder or track: the run says it cannot write, and the
// track's bytes stay, under its old name or a new one. A folder in which
// nothing can be written gets one box before anything changes.
class ReadOnly : public Fault, public ::testing::WithParamInterface<const char*> {};

TEST_P(ReadOnly, IsReportedAndLeftAlone) {
  make_album();
  if (!run_without_privileges())
    GTEST_SKIP() << "running as root, and no user \"nobody\" to run as";
  const size_t before = std::hash<std::string>()(read_file(album + "/01 - Salt Road.mp3"));
  const std::string target = album + GetParam();
  const bool folder = fs::is_directory(target);
  chmod(target.c_str(), folder ? 0555 : 0444);
  const auto whole_before = snapshot(parent);
  start_server();
  // Wide enough for the box's text on one line.
  const Outcome outcome = plinth(shell_quoted(album), kEveryDefault, parent, "COLUMNS=1000");
  expect_files_intact(outcome);
  EXPECT_TRUE(names_a_fault(outcome.drawn)) << "drew:\n" << outcome.drawn;
  const auto after = snapshot(parent);
  EXPECT_TRUE(std::any_of(after.begin(), after.end(),
                          [&](const auto& entry) { return entry.second == before; }));
  if (!folder) return;
  size_t boxes = 0;
  for (size_t at = outcome.drawn.find("== (!) "); at != std::string::npos;
       at = outcome.drawn.find("== (!) ", at + 1))
    ++boxes;
  EXPECT_EQ(boxes, 1u) << outcome.drawn;
  EXPECT_TRUE(test_support::in_order(
      outcome.drawn, {"Nothing can be written in the folder " + album + ": Permission denied."}));
  EXPECT_EQ(after, whole_before);
  EXPECT_EQ(outcome.status, 3);
}

INSTANTIATE_TEST_SUITE_P(FolderAndFile, ReadOnly, ::testing::Values("", "/01 - Salt Road.mp3"),
                         [](const auto& info) { return *info.param ? "Track" : "Folder"; });

// A call the system refuses during Finish!: the box names what could not
// be done and why, the last box says how it ended, and every track is
// there whole.
struct RefusedCall {
  const char* name;
  long call;
  const char* path_part;
  int error;
  const char* told;
  const char* done;  // the last box; nullptr when Finish! ended before it
};

class RefusedDuringFinish : public Fault, public ::testing::WithParamInterface<RefusedCall> {};

TEST_P(RefusedDuringFinish, IsNamedAndLosesNothing) {
  make_album();
  start_server();
  const pid_t pid = start_traced({album});
  ASSERT_TRUE(refuse_call(pid, GetParam().call, GetParam().path_part, GetParam().error))
      << "no such call was made";
  ASSERT_EQ(waitpid(pid, nullptr, 0), pid);
  std::string drawn = read_file(logs.file("stopped"));
  std::replace(drawn.begin(), drawn.end(), '\n', ' ');  // the terminal wraps a box's lines
  EXPECT_THAT(drawn, HasSubstr(GetParam().told));
  EXPECT_THAT(drawn, GetParam().done
                         ? HasSubstr(std::string("== Done. == ") + GetParam().done)
                         : ::testing::Matcher<std::string>(Not(HasSubstr("== Done. =="))));
  EXPECT_EQ(audio_under(parent), originals);
  EXPECT_EQ(strays_under(parent), std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(
    CoverPlaylistJournalFolder, RefusedDuringFinish,
    ::testing::Values(
        RefusedCall{"cover", SYS_linkat, "R-100101.jpg", ENOSPC,
                    "Could not write the cover 'R-100101.jpg': No space left on device",
                    "Done, but not everything went well"},
        RefusedCall{"playlist", SYS_linkat, ".m3u", ENOSPC,
                    "Could not write the playlist 'Harbour Lights - Night Ferry [HL 007].m3u': No "
                    "space left on device",
                    "Done!"},
        RefusedCall{"journal", SYS_linkat, ".journal", ENOSPC,
                    "Could not write the journal that lets this run be taken back: No space left "
                    "on device. No file was changed.",
                    nullptr},
        RefusedCall{"folder", SYS_renameat2, "[HL 007] Harbour", EACCES,
                    "An error:'Permission denied' occured when trying to move", "Done!"}),
    [](const auto& info) { return std::string(info.param.name); });

// The system refuses what starting the browser needs: the box says where
// the help page is.
TEST_F(Fault, ABrowserTheSystemCannotStartIsToldInABox) {
  make_album();
  const std::string bin = work.file("bin");
  fs::create_directory(bin);
  write_file(bin + "/xdg-open", "#!/bin/sh\n");
  fs::permissions(bin + "/xdg-open", fs::perms::owner_all);
  // The program's own pipe and fork, not the sanitizers' (a pipe without
  // O_CLOEXEC, threads that send no SIGCHLD).
  const struct {
    long call;
    int at;
    uint64_t flags;
  } calls[] = {{SYS_pipe2, 1, O_CLOEXEC}, {SYS_clone, 0, SIGCHLD}};
  for (const auto& [call, at, flags] : calls) {
    const pid_t pid = start_traced({album}, "online help\ncancel\n", {"BROWSER=x", "PATH=" + bin});
    ASSERT_TRUE(refuse_call(pid, call, "", EAGAIN, at, flags)) << "no call " << call;
    ASSERT_EQ(waitpid(pid, nullptr, 0), pid);
    EXPECT_THAT(read_file(logs.file("stopped")), HasSubstr("No program could open the help page."))
        << "call " << call;
  }
}

// A small tmpfs holding the album with little room to spare: the tag
// rewrites run out of space part way.
TEST_F(Fault, ADiskThatFillsDuringFinishLeavesEveryFileWhole) {
  const std::string disk = work.file("small-disk");
  fs::create_directory(disk);
  int status = -1;
  test_support::run_command("mount -t tmpfs -o size=920k tmpfs " + shell_quoted(disk) + " 2>&1",
                            &status);
  if (status != 0) GTEST_SKIP() << "cannot mount a tmpfs here (needs root), so no disk to fill";
  parent = disk + "/music";
  album = parent + "/" + kAlbumFolder;
  fs::create_directories(album);
  make_album();
  // Fill what is left but a few kilobytes.
  const std::string filler = shell_quoted(disk + "/filler");
  test_support::run_command("dd if=/dev/zero of=" + filler +
                            " bs=1k 2>/dev/null; truncate -s -8k " + filler);
  // A tag that cannot be written is passed over silently, so the check is
  // that every file is whole, not that the user was told.
  expect_files_intact(run_against({}));
  test_support::run_command("umount " + shell_quoted(disk));
}

// Kills the program at its 50th write of a file, while it copies a track's
// audio into a new file (-50), as Finish! enters its one flush of the new files (0), or at
// its nth rename after that: the first twelve put the new files in place of
// the old, the rest give them their new names. Every payload must be there
// once, under its old or new name, nothing beside them but the new files
// (".plinth-new-*"), and the next run must remove those.
class KillDuringFinish : public Fault, public ::testing::WithParamInterface<int> {};

TEST_P(KillDuringFinish, LeavesEachPayloadOnceAndTheNextRunTidies) {
  make_album(2 * 1024 * 1024);
  start_server();
  ASSERT_TRUE(kill_at({album}, GetParam())) << "the program ended before that point";
  const std::vector<std::string> strays = strays_under(parent);
  if (GetParam() >= 0 && GetParam() <= 12) {
    EXPECT_EQ(strays.size(), GetParam() == 0 ? 12u : 13u - static_cast<size_t>(GetParam()));
  }
  EXPECT_FALSE(strays.empty() && GetParam() < 0) << "no new file was begun";
  EXPECT_EQ(audio_under(parent), originals);
  for (const std::string& stray : strays) EXPECT_THAT(stray, HasSubstr("/.plinth-new-"));
  expect_files_intact(run_against({}));
}

INSTANTIATE_TEST_SUITE_P(WriteFlushReplacementsAndMoves, KillDuringFinish,
                         ::testing::Values(-50, 0, 1, 7, 13, 19));

// A second start on the folder while Finish! runs (here stopped at its
// shared flush, every new file written beside its old one) leaves the new
// files alone, and the first run then tags every file.
TEST_F(Fault, ASecondStartWhileFinishRunsLeavesItsNewFilesAlone) {
  make_album();
  start_server();
  const pid_t first = stop_at({album}, 0);
  ASSERT_GT(first, 0) << "the program ended before its flush";
  ASSERT_EQ(strays_under(parent).size(), 12u);
  const Outcome second = plinth(shell_quoted(album), "", parent);  // closes its first page
  EXPECT_EQ(strays_under(parent).size(), 12u) << second.drawn;
  ptrace(PTRACE_DETACH, first, nullptr, nullptr);
  int status = -1;
  ASSERT_EQ(waitpid(first, &status, 0), first);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  const std::string drawn = read_file(logs.file("stopped"));
  EXPECT_THAT(drawn, Not(HasSubstr("Could not write the tags")));
  const std::string tagged = parent + "/[HL 007] Harbour Lights - Night Ferry";
  EXPECT_THAT(test_support::show_tags(tagged + "/01 - Harbour Lights - Salt Road.mp3"),
              HasSubstr("TALB: Night Ferry"));
  expect_files_intact(second);
}

// While the match page waits, the album folder is moved away and a link to
// another folder put under its name, or one of its files is moved away. Finish! refuses with a box
// that says what changed, and writes nothing anywhere, the journal included.
TEST_F(Fault, WhatChangesWhileAPageWaitsIsNamedAndNothingIsWritten) {
  make_album();
  start_server();
  const std::string other = work.file("other");
  const std::string away = parent + "/away";
  const char* const no_longer = "is no longer the folder these pages were shown for";
  const struct {
    const char* name;
    // Shell commands: $A the album, $O another folder holding copies of its
    // files, $W a name away from it.
    const char* change;
    const char* undo;
    const char* box;
  } cases[] = {
      {"ALinkToAnotherFolder", "mv \"$A\" \"$W\" && ln -s \"$O\" \"$A\"",
       "rm \"$A\" && mv \"$W\" \"$A\"", no_longer},
      {"AFileMovedAway", "mv \"$A/08 - Crossing.mp3\" \"$W\"", "mv \"$W\" \"$A/08 - Crossing.mp3\"",
       "so nothing was changed:\n'08 - Crossing.mp3'"},
  };
  const std::string names =
      "A=" + shell_quoted(album) + " O=" + shell_quoted(other) + " W=" + shell_quoted(away) + "; ";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(other);
    fs::copy(album, other);
    const auto before = snapshot(work.path());
    const std::string drawn = logs.file(std::string(c.name) + ".drawn");
    // Finish! is pressed only after the change.
    const std::string script =
        names + "{ printf '\\n\\n\\n'; until grep -qs '=== Confirm track matches' " +
        shell_quoted(drawn) + "; do sleep 0.1; done; " + c.change +
        "; printf '\\n\\n\\n\\n'; } | env -u DISPLAY -u WAYLAND_DISPLAY http_proxy=" +
        shell_quoted(server->proxy_url()) + " timeout -k 5 60 " + shell_quoted(PLINTH_BINARY) +
        " \"$A\" >/dev/null 2>" + shell_quoted(drawn);
    int status = -1;
    test_support::run_command("cd " + shell_quoted(parent) + " && " + script, &status);
    EXPECT_NE(status, kKilledByWatchdog);
    EXPECT_THAT(read_file(drawn), HasSubstr(c.box));
    // Changed back, everything must be as it was.
    test_support::run_command(names + c.undo + " 2>/dev/null");
    EXPECT_EQ(snapshot(work.path()), before);
    const std::string journals = config.state_home() + "/plinth/journal";
    EXPECT_TRUE(!fs::exists(journals) || fs::is_empty(journals)) << "a journal was written";
  }
}

// A release page that names a field with the code page's escapes, control
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

std::vector<HostileCase> hostile_cases() {
  const std::string k8D = "\x8D";
  const std::string k81 = "\x81";
  const struct {
    const char* name;
    const char* page_text;
    const char* replacement;
    const char* placeholder;
  } fields[] = {
      {"TrackNumber", "<td class=\"pos\">1</td>", "<td class=\"pos\">%s</td>", "/8"},
      {"Label", ">Tidewater Records</a>", ">%s</a>", "/3"},
      {"CatalogNumber", "<td>HL 007</td>", "<td>%s</td>", "/4"},
      {"Date", "Released:</td><td>2005</td>", "Released:</td><td>%s</td>", "/5"},
      {"Style", "Style:</td><td>Downtempo, Ambient</td>", "Style:</td><td>%s</td>", "/9"}};
  const struct {
    const char* name;
    std::string value;
    std::string slash;
  } values[] = {{"ByteEscape", "..|victim", k8D + "2F"},
                {"CharEscape", "..|victim", k81 + "2f;"},
                {"ZeroByte", "cut" + k8D + "00off", ""},
                {"Terminal", "\x1b]0;owned\x07\x1b[31mred", ""}};
  std::vector<HostileCase> cases;
  for (const auto& f : fields) {
    for (const auto& v : values) {
      cases.push_back({std::string(f.name) + v.name, f.page_text, f.replacement, f.placeholder,
                       v.value, v.slash});
    }
  }
  // The cover's address: a new file at an absolute path, or an existing
  // file outside read into every tag.
  const char* cover = "/R/t/R-100101.jpg\"";
  cases.push_back({"CoverToANewFile", cover, "/R/t/%s\"", "", "{WORK}|outside.jpg", k8D + "2F"});
  cases.push_back(
      {"CoverFromAFileOutside", cover, "/R/t/%s\"", "", "{WORK}|secret.jpg", k81 + "2f;"});
  // Or an address of another kind, behind the picture viewer's link.
  cases.push_back(
      {"CoverFromAFileAddress", "<img src=\"http://images.discogs.com/R/t/R-100101.jpg\"",
       "<a href=\"/viewimages?release=1\"><img src=\"file://%s\"", "", "{WORK}|secret.jpg", "/"});
  return cases;
}

class HostilePage : public Fault, public ::testing::WithParamInterface<HostileCase> {
 protected:
  // The stock catalogue, with the release page replaced by the hostile one
  // and a picture at the path a cover address with escapes stands for.
  std::string hostile_catalogue() const {
    const HostileCase& c = GetParam();
    std::string value = c.value;
    if (value.find("{WORK}") == 0) value.replace(0, 6, work.path());
    std::string escaped;
    for (const char ch : value) escaped += ch == '|' || ch == '/' ? c.slash : std::string(1, ch);
    std::string replacement = c.replacement;
    replacement.replace(replacement.find("%s"), 2, escaped);

    const std::string folder = catalogue.file("catalogue");
    fs::copy(PLINTH_SOURCE_DIR "/tools/catalogue", folder, fs::copy_options::recursive);
    const std::string outside_picture = folder + "/covers" + work.path() + "/outside.jpg";
    fs::create_directories(fs::path(outside_picture).parent_path());
    write_file(outside_picture, "NEW-PICTURE-FROM-THE-SERVER");
    test_support::run_command("/usr/bin/python3 " PLINTH_SOURCE_DIR
                              "/tools/standin_server.py --write-pages " +
                              shell_quoted(catalogue.path()) + " >/dev/null");
    std::string page = read_file(catalogue.file("release/100101.html"));
    EXPECT_THAT(page, HasSubstr(c.page_text));
    const size_t at = page.find(c.page_text);
    page.replace(at, std::string(c.page_text).size(), replacement);
    fs::create_directories(folder + "/pages/release");
    write_file(folder + "/pages/release/100101.html", page);
    return folder;
  }

  // Every entry under the test's folder outside the album folder.
  std::map<std::string, size_t> outside_of(const std::string& album_folder) const {
    std::map<std::string, size_t> seen = snapshot(work.path());
    for (auto it = seen.begin(); it != seen.end();) {
      const bool inside = it->first == album_folder || it->first.rfind(album_folder + "/", 0) == 0;
      it = inside ? seen.erase(it) : std::next(it);
    }
    return seen;
  }

  test_support::TempDir catalogue;
};

}  // namespace

TEST_P(HostilePage, NothingOutsideTheAlbumIsTouched) {
  make_album();
  write_file(work.file("secret.jpg"), "SECRET-PICTURE-BYTES");
  write_file(parent + "/victim.m3u", "a playlist of someone else's");
  const std::string placeholder = GetParam().placeholder;
  if (!placeholder.empty()) {
    config.write_settings_file("<?xml version=\"1.0\"?>\n<Settings m3u=\"t\" nfo=\"f\" g_dirf=\"" +
                               placeholder + "\" g_m3uf=\"" + placeholder + "\" g_tf=\"" +
                               placeholder + " /7\" />\n");
  }
  const auto outside_before = outside_of(album);

  const Outcome outcome = run_against({"--catalogue", hostile_catalogue()});
  EXPECT_NE(outcome.status, kKilledByWatchdog) << "hung; drew:\n" << outcome.drawn;
  const std::vector<std::string> names = test_support::names_in(parent);
  ASSERT_EQ(names.size(), 2u) << "the album left its parent; drew:\n" << outcome.drawn;
  const std::string album_after = parent + "/" + (names[0] == "victim.m3u" ? names[1] : names[0]);
  EXPECT_EQ(outside_of(album_after), outside_before) << outcome.drawn;
  EXPECT_TRUE(audio_under(album_after) == originals) << "not every track is inside, once";
  EXPECT_TRUE(audio_under(work.path()) == originals) << "a track is outside the album too";
  for (const auto& entry : fs::recursive_directory_iterator(parent)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(std::none_of(name.begin(), name.end(), [](unsigned char b) {
      return b < 0x20 || b == 0x7F;
    })) << entry.path();
    if (!entry.is_regular_file()) continue;
    EXPECT_THAT(read_file(entry.path()), Not(HasSubstr("SECRET-PICTURE-BYTES"))) << entry.path();
  }
  EXPECT_THAT(outcome.drawn, Not(HasSubstr("\x1b"))) << "raw escape sequence on the terminal";
}

INSTANTIATE_TEST_SUITE_P(FieldsAndValues, HostilePage, ::testing::ValuesIn(hostile_cases()),
                         [](const auto& info) { return info.param.name; });

// Finish! on the demo album and then --undo: the album comes back as it
// was, byte for byte; a kill during --undo loses nothing and a second
// --undo completes the job.
class Undo : public Fault {
 protected:
  Undo() {
    fs::remove(album);
    test_support::make_demo_album(parent);
    before = snapshot(parent);
    originals = audio_under(parent);
  }

  void finish() {
    const Outcome outcome = run_against({});
    ASSERT_EQ(outcome.status, 0) << outcome.drawn;
    ASSERT_TRUE(fs::exists(tagged)) << outcome.drawn;
    // After the box, on lines of their own: the folder, and the command
    // with the program as it was started.
    EXPECT_THAT(outcome.drawn, ::testing::HasSubstr("\nThe folder is now " + tagged +
                                                    "\nTo take this run back: " + PLINTH_BINARY +
                                                    " --undo " + shell_quoted(tagged) + "\n"));
  }

  // What --undo printed, and how it ended.
  Outcome undo() { return plinth("--undo " + shell_quoted(tagged)); }

  std::map<std::string, size_t> before;
  const std::string tagged = parent + "/" + test_support::kTaggedDemoFolder;
};

TEST_F(Undo, GivesBackTheAlbumByteForByteOnceAndTheHistoryShowsIt) {
  finish();
  // The folder's name before the run names the run as well as the new one.
  const Outcome undone = plinth("--undo " + shell_quoted(album));
  EXPECT_EQ(undone.status, 0) << undone.trace;
  EXPECT_EQ(snapshot(parent), before) << undone.trace;
  EXPECT_THAT(undone.trace, HasSubstr("renamed the folder back to"));

  const Outcome again = undo();
  EXPECT_EQ(again.status, 0);
  EXPECT_THAT(again.trace, HasSubstr("was already taken back"));
  EXPECT_EQ(snapshot(parent), before);
  const Outcome history = plinth("--history " + shell_quoted(album));
  EXPECT_THAT(history.trace, HasSubstr(shell_quoted(album) + " -> " + shell_quoted(tagged) +
                                       "  12 files  (taken back"));
}

class KillDuringUndo : public Undo, public ::testing::WithParamInterface<int> {};

TEST_P(KillDuringUndo, LosesNothingAndASecondUndoCompletesIt) {
  finish();
  ASSERT_TRUE(kill_at({"--undo", tagged}, GetParam())) << "--undo ended before that point";
  EXPECT_EQ(audio_under(parent), originals);
  const Outcome undone = undo();
  EXPECT_EQ(undone.status, 0) << undone.trace;
  EXPECT_EQ(snapshot(parent), before) << undone.trace;
}

INSTANTIATE_TEST_SUITE_P(FlushReplacementsAndMoves, KillDuringUndo, ::testing::Values(0, 5, 15));
