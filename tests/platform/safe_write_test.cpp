#include "platform/files/safe_write.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <set>

#include "platform/files/staged_rewrites.h"
#include "tests/support/current_folder.h"
#include "tests/support/mp3_files.h"
#include "tests/support/run_checks.h"
#include "tests/support/temp_dir.h"

namespace {

using platform::FilePiece;
using test_support::read_file;
using test_support::TempDir;
using test_support::write_file;

using test_support::entries;

// Through a symbolic link, which stays a link while its target changes,
// keeping its mode, its owner (only root can give a file to another user)
// and its extended attributes (where the file system has them), and
// leaving nothing beside it.
TEST(RewriteFile, BuildsTheContentFromNewBytesAndOldRangesKeepingTheFile) {
  TempDir dir;
  const std::string real = dir.file("store/f.mp3");
  std::filesystem::create_directory(dir.file("store"));
  write_file(real, "HEADaudioTAIL");
  std::filesystem::create_symlink("store/f.mp3", dir.file("link.mp3"));
  const bool as_root = ::geteuid() == 0;
  ASSERT_EQ(as_root ? ::chown(real.c_str(), 4321, 8765) : 0, 0);
  ASSERT_EQ(::chmod(real.c_str(), as_root ? 04755 : 0640), 0);
  const bool attributes = ::setxattr(real.c_str(), "user.rating", "5", 1, 0) == 0;
  const auto status = [&real] {
    struct stat info {};
    EXPECT_EQ(::stat(real.c_str(), &info), 0);
    return info;
  };
  const struct stat before = status();
  const std::vector<FilePiece> pieces = {FilePiece::bytes("new head "), FilePiece::old_range(4, 5),
                                         FilePiece::bytes(" end")};
  EXPECT_EQ(platform::rewrite_file(dir.file("link.mp3"), 13, pieces), 0);
  EXPECT_EQ(read_file(real), "new head audio end");
  const struct stat after = status();
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_gid, before.st_gid);
  EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777);
  char value[8] = {};
  EXPECT_EQ(attributes ? ::getxattr(real.c_str(), "user.rating", value, sizeof value) : 1, 1);
  EXPECT_STREQ(value, attributes ? "5" : "");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.mp3")));
  EXPECT_EQ(entries(dir.file("store")), std::set<std::string>({"f.mp3"}));
}

TEST(RewriteFile, RefusesAChangedFileOrABadRangeAndWritesNothing) {
  TempDir dir;
  write_file(dir.file("f.mp3"), "old content");
  EXPECT_EQ(platform::rewrite_file(dir.file("f.mp3"), 5, {FilePiece::bytes("new")}), ESTALE);
  EXPECT_EQ(platform::rewrite_file(dir.file("f.mp3"), 11, {FilePiece::old_range(8, 4)}), EINVAL);
  EXPECT_EQ(platform::rewrite_file(dir.file("missing.mp3"), 0, {}), ENOENT);
  EXPECT_EQ(read_file(dir.file("f.mp3")), "old content");
  EXPECT_EQ(entries(dir.path()), std::set<std::string>({"f.mp3"}));
}

// Permissions do not hold for root, so as root the rewrite runs in a child
// that has become the user nobody, who is given the folder and the file.
int rewrite_without_privileges(const std::string& folder, const std::string& path,
                               const std::string& content) {
  const struct passwd* nobody = ::getpwnam("nobody");
  const bool as_root = ::geteuid() == 0;
  if (as_root && nobody == nullptr) return -1;
  if (as_root && (::chown(folder.c_str(), nobody->pw_uid, nobody->pw_gid) != 0 ||
                  ::chown(path.c_str(), nobody->pw_uid, nobody->pw_gid) != 0)) {
    return -1;
  }
  const pid_t child = ::fork();
  if (child == 0) {
    if (as_root && (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
                    ::setuid(nobody->pw_uid) != 0)) {
      ::_exit(255);
    }
    ::_exit(platform::rewrite_file(path, content.size(), {FilePiece::bytes(content)}) & 0x7F);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(RewriteFile, AnUnwritableFileOrFolderIsLeftAsItWas) {
  TempDir dir;
  write_file(dir.file("f.mp3"), "old");
  ASSERT_EQ(::chmod(dir.file("f.mp3").c_str(), 0444), 0);
  EXPECT_EQ(rewrite_without_privileges(dir.path(), dir.file("f.mp3"), "new"), EACCES);
  ASSERT_EQ(::chmod(dir.file("f.mp3").c_str(), 0644), 0);
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  EXPECT_EQ(rewrite_without_privileges(dir.path(), dir.file("f.mp3"), "new"), EACCES);
  EXPECT_EQ(read_file(dir.file("f.mp3")), "old");
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
}

// A child that dies when it writes past `limit` bytes of any file: the
// kernel stops it in the middle of the write, as a kill would.
int rewrite_in_child_with_limit(const std::string& path, uint64_t size, const std::string& head,
                                rlim_t limit) {
  const pid_t child = ::fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_DFL);
    const struct rlimit rl = {limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &rl);
    const int error =
        platform::rewrite_file(path, size, {FilePiece::bytes(head), FilePiece::old_range(0, size)});
    ::_exit(error == 0 ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

TEST(RewriteFile, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
  TempDir dir;
  std::string old_content(3 << 20, '\0');
  for (size_t i = 0; i < old_content.size(); ++i)
    old_content[i] = static_cast<char>(i * 7 + i / 4096);
  const std::string head(70000, 'h');
  const std::string new_content = head + old_content;
  const std::string path = dir.file("big.mp3");
  write_file(path, old_content);

  int killed = 0;
  for (const rlim_t limit : {rlim_t{0}, rlim_t{1}, rlim_t{4096}, rlim_t{69999}, rlim_t{70000},
                             rlim_t{1 << 20}, rlim_t{(3 << 20) + 69999}}) {
    const int status = rewrite_in_child_with_limit(path, old_content.size(), head, limit);
    if (WIFSIGNALED(status)) ++killed;
    const std::string now = read_file(path);
    EXPECT_TRUE(now == old_content) << "limit " << limit << ": size " << now.size();
    EXPECT_EQ(entries(dir.path()), std::set<std::string>({"big.mp3"})) << "limit " << limit;
  }
  EXPECT_EQ(killed, 7);

  EXPECT_EQ(rewrite_in_child_with_limit(path, old_content.size(), head, RLIM_INFINITY), 0);
  EXPECT_TRUE(read_file(path) == new_content);
}

TEST(OverwriteFilePart, WritesInsideTheFileNeverPastItsEnd) {
  TempDir dir;
  write_file(dir.file("f.mp3"), "0123456789");
  EXPECT_EQ(platform::overwrite_file_part(dir.file("f.mp3"), 10, 2, "ab"), 0);
  EXPECT_EQ(read_file(dir.file("f.mp3")), "01ab456789");
  EXPECT_EQ(platform::overwrite_file_part(dir.file("f.mp3"), 10, 8, "xyz"), EINVAL);
  EXPECT_EQ(platform::overwrite_file_part(dir.file("f.mp3"), 9, 0, "x"), ESTALE);
  EXPECT_EQ(read_file(dir.file("f.mp3")), "01ab456789");
}

}  // namespace

namespace {

// A file changed after it was staged keeps the change; the staged content
// goes, and what a run leaves beside the files is removed by the next one,
// and nothing else is.
TEST(CreateFileWhole, CreatesTheFileAndNeverReplacesOne) {
  TempDir dir;
  EXPECT_EQ(platform::create_file_whole(dir.file("R-1.jpg"), "picture"), 0);
  EXPECT_EQ(platform::create_file_whole(dir.file("R-1.jpg"), "other"), EEXIST);
  EXPECT_EQ(read_file(dir.file("R-1.jpg")), "picture");
  EXPECT_EQ(entries(dir.path()), std::set<std::string>({"R-1.jpg"}));
}

TEST(StagedRewrites, AChangedFileWinsAndOnlyLeftoversAreRemoved) {
  TempDir dir;
  const test_support::KeepCurrentFolder keep;
  std::filesystem::current_path(dir.path());
  write_file("a.mp3", "old a");
  write_file("b.mp3", "old b");
  {
    platform::StagedRewrites batch;
    size_t a = 0, b = 0;
    ASSERT_EQ(batch.stage("a.mp3", 5, {FilePiece::bytes("new a")}, a), 0);
    ASSERT_EQ(batch.stage("b.mp3", 5, {FilePiece::bytes("new b")}, b), 0);
    EXPECT_EQ(batch.stage("b.mp3", 4, {FilePiece::bytes("x")}, b), ESTALE);
    // Named after the file and the process that writes it.
    EXPECT_EQ(entries(dir.path()).count(".plinth-new-" + std::to_string(getpid()) + "-a.mp3.tmp"),
              1u);
    EXPECT_EQ(batch.flush(), 0);
    write_file("b.mp3", "mine!");
    const struct timespec another_day[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, "b.mp3", another_day, 0);
    EXPECT_EQ(batch.commit(a), 0);
    EXPECT_EQ(batch.commit(b), ESTALE);
    EXPECT_EQ(batch.flush_folders("."), 0);
  }
  EXPECT_EQ(read_file("a.mp3"), "new a");
  EXPECT_EQ(read_file("b.mp3"), "mine!");
  EXPECT_EQ(entries(dir.path()), std::set<std::string>({"a.mp3", "b.mp3"}));
}

// Only what a run that no longer runs left is removed: a run at work in the
// folder (one that holds no lock, or on a file system without locks) keeps
// its new files, or all its tag writes would fail.
TEST(StagedRewrites, OnlyLeftoversOfRunsNoLongerRunningAreRemoved) {
  TempDir dir;
  const test_support::KeepCurrentFolder keep;
  std::filesystem::current_path(dir.path());
  const pid_t running = getppid();
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  ASSERT_GT(ended, 0);
  waitpid(ended, nullptr, 0);
  const std::string of_running = ".plinth-new-" + std::to_string(running) + "-";
  const std::string of_ended = ".plinth-new-" + std::to_string(ended) + "-";
  const struct {
    const char* name;
    std::string file;
    bool removed;
  } cases[] = {
      {"OfAnOlderVersion", ".plinth-new-a.mp3.tmp", true},
      {"OfAnEndedRun", of_ended + "a.mp3.tmp", true},
      {"OfAnEndedRunNumbered", of_ended + "0.tmp", true},
      {"OfThisProcess", ".plinth-new-" + std::to_string(getpid()) + "-1.tmp", true},
      {"OfARunningRun", of_running + "a.mp3.tmp", false},
      {"OfARunningRunNumbered", of_running + "3.tmp", false},
      {"OfInitWhichAlwaysRuns", ".plinth-new-1-a.mp3.tmp", false},
      {"NoNumberBeforeItsDash", ".plinth-new--x.tmp", true},
      {"ANumberNoProcessHas", ".plinth-new-4294967297-a.tmp", true},  // 1 if cut to 32 bits
      {"NotTemporary", ".plinth-new-.mp3", false},
      {"NotHidden", "plinth-new-a.tmp", false},
      {"AnMp3File", ".plinth-new-x.tmp.mp3", false},
  };
  for (const auto& c : cases) write_file(c.file, "left");
  std::filesystem::create_directory(".plinth-new-folder.tmp");
  EXPECT_EQ(platform::remove_staged_leftovers(), 6);
  const std::set<std::string> left = entries(dir.path());
  for (const auto& c : cases) EXPECT_EQ(left.count(c.file), c.removed ? 0u : 1u) << c.name;
  EXPECT_EQ(left.count(".plinth-new-folder.tmp"), 1u);
}

// The copies are flushed together; one that cannot be flushed fails the
// whole flush wherever it stands (the first failure in order is told), and
// the flush itself puts nothing in place. A copy is lost by removing it
// behind the batch's back, or made unflushable by putting a link to
// /dev/null, which takes no flush, in its place.
TEST(StagedRewrites, ACopyThatCannotBeFlushedFailsTheFlushAndReplacesNothing) {
  const struct {
    const char* name;
    int removed;      // the copy removed before the flush; -1 for none
    int unflushable;  // the copy made a link to /dev/null; -1 for none
    int error;
  } cases[] = {{"all flushed", -1, -1, 0},           {"first removed", 0, -1, ENOENT},
               {"first unflushable", -1, 0, EINVAL}, {"middle unflushable", -1, 3, EINVAL},
               {"last unflushable", -1, 6, EINVAL},  {"the earlier failure", 4, 1, EINVAL}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const test_support::KeepCurrentFolder keep;
    std::filesystem::current_path(dir.path());
    platform::StagedRewrites batch;
    std::vector<size_t> index(7);
    for (size_t i = 0; i < index.size(); ++i) {
      const std::string name = std::to_string(i) + ".mp3";
      write_file(name, "old " + std::to_string(i));
      ASSERT_EQ(batch.stage(name, 5, {FilePiece::bytes("new " + std::to_string(i))}, index[i]), 0);
    }
    write_file("in place.mp3", "old tag");
    ASSERT_EQ(batch.overwrite_part("in place.mp3", 7, 0, "new"), 0);
    const auto copy = [](int i) {
      return ".plinth-new-" + std::to_string(getpid()) + "-" + std::to_string(i) + ".mp3.tmp";
    };
    if (c.removed >= 0) {
      ASSERT_EQ(::unlink(copy(c.removed).c_str()), 0);
    }
    if (c.unflushable >= 0) {
      ASSERT_EQ(::unlink(copy(c.unflushable).c_str()), 0);
      ASSERT_EQ(::symlink("/dev/null", copy(c.unflushable).c_str()), 0);
    }
    EXPECT_EQ(batch.flush(), c.error);
    EXPECT_EQ(read_file("in place.mp3"), "new tag");
    for (size_t i = 0; i < index.size(); ++i) {
      EXPECT_EQ(read_file(std::to_string(i) + ".mp3"), "old " + std::to_string(i)) << i;
    }
    if (c.error != 0) continue;
    for (size_t i = 0; i < index.size(); ++i) {
      EXPECT_EQ(batch.commit(index[i]), 0) << i;
      EXPECT_EQ(read_file(std::to_string(i) + ".mp3"), "new " + std::to_string(i)) << i;
    }
  }
}

}  // namespace
