// A process killed in the middle of write_tags leaves the old file or the
// new one, never a cut file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>

#include "output/tag_writer.h"
#include "platform/staged_rewrites.h"
#include "tests/output/in_temp_folder.h"
#include "tests/support/mp3_maker.h"
#include "tests/support/run_checks.h"

namespace {

using test_support::audio_bytes;
using test_support::read_file;
using test_support::write_file;

Release release_with_cover(const std::string& title) {
  Release release;
  release.title = title;
  release.release_date = "2004";
  release.style = "Techno";
  release.track_artists = {"Artist"};
  release.track_names = {title + " track"};
  release.track_numbers = {"1"};
  release.picture_url = "http://images.discogs.com/R/t/R-5.jpg";
  return release;
}

using test_support::entries;

// Runs write_tags in a child. The child's trace lines go nowhere, so that
// only the tag write can meet the file size limit.
pid_t start_writer(const std::string& name, const Release& release, rlim_t size_limit) {
  const pid_t child = ::fork();
  if (child != 0) return child;
  const int null = ::open("/dev/null", O_WRONLY);
  ::dup2(null, STDOUT_FILENO);
  std::signal(SIGXFSZ, SIG_DFL);
  const struct rlimit limit = {size_limit, size_limit};
  ::setrlimit(RLIMIT_FSIZE, &limit);
  write_tags(name, release, 0);
  ::_exit(0);
}

int wait_for(pid_t child) {
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

uint64_t bytes_written_by(pid_t pid) {
  std::ifstream io("/proc/" + std::to_string(pid) + "/io");
  std::string key;
  uint64_t value = 0;
  while (io >> key >> value) {
    if (key == "wchar:") return value;
  }
  return 0;
}

class KilledTagWriter : public output_test::InTempFolder {
 protected:
  void SetUp() override {
    output_test::InTempFolder::SetUp();
    test_support::Mp3Recipe recipe;
    recipe.id3v2_version = 3;
    recipe.frames = {test_support::text_frame("TIT2", "Old", test_support::TextEncoding::kLatin1)};
    recipe.with_id3v1 = true;
    recipe.audio_bytes = 8 << 20;
    old_bytes_ = test_support::make_mp3(recipe);
    write_file(file("big.mp3"), old_bytes_);
    write_file(file("R-5.jpg"), std::string(60000, 'p'));
    // What a write that is not disturbed makes of the file.
    write_file(file("copy.mp3"), old_bytes_);
    write_tags("copy.mp3", release_with_cover("New"), 0);
    new_bytes_ = read_file(file("copy.mp3"));
    std::filesystem::remove(file("copy.mp3"));
    ASSERT_NE(new_bytes_, old_bytes_);
  }

  std::string old_bytes_;
  std::string new_bytes_;
};

TEST_F(KilledTagWriter, AtAnyByteOfTheNewFileTheOldFileStays) {
  const rlim_t size = new_bytes_.size();
  for (const rlim_t limit : {rlim_t{0}, rlim_t{1}, rlim_t{10}, rlim_t{40000}, rlim_t{70000},
                             size / 2, size - 129, size - 1}) {
    const int status = wait_for(start_writer("big.mp3", release_with_cover("New"), limit));
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "limit " << limit;
    EXPECT_TRUE(read_file(file("big.mp3")) == old_bytes_) << "limit " << limit;
    // At most the new file is left beside, and the next run removes it.
    platform::remove_staged_leftovers();
    EXPECT_EQ(entries(dir_.path()), std::set<std::string>({"big.mp3", "R-5.jpg"}));
  }
  EXPECT_EQ(wait_for(start_writer("big.mp3", release_with_cover("New"), RLIM_INFINITY)), 0);
  EXPECT_TRUE(read_file(file("big.mp3")) == new_bytes_);
}

TEST_F(KilledTagWriter, KillNineWhileWritingLeavesTheOldOrTheNewFile) {
  for (const uint64_t progress : {uint64_t{1} << 10, uint64_t{1} << 20, uint64_t{6} << 20}) {
    write_file(file("big.mp3"), old_bytes_);
    const pid_t child = start_writer("big.mp3", release_with_cover("New"), RLIM_INFINITY);
    // Kill as soon as the child has written that much, wherever it is then.
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
      if (bytes_written_by(child) >= progress) {
        ::kill(child, SIGKILL);
        status = wait_for(child);
        break;
      }
    }
    const std::string now = read_file(file("big.mp3"));
    EXPECT_TRUE(now == old_bytes_ || now == new_bytes_)
        << "after " << progress << " bytes: size " << now.size();
    EXPECT_TRUE(audio_bytes(now) == audio_bytes(old_bytes_));
  }
}

TEST_F(KilledTagWriter, DuringAnInPlaceWriteTheAudioAndTheLengthStay) {
  write_file(file("big.mp3"), new_bytes_);
  write_file(file("R-5.jpg"), std::string(60000, 'q'));  // a new picture that fits the old room
  const int status = wait_for(start_writer("big.mp3", release_with_cover("New"), 30000));
  EXPECT_TRUE(WIFSIGNALED(status));
  const std::string now = read_file(file("big.mp3"));
  EXPECT_EQ(now.size(), new_bytes_.size());
  EXPECT_TRUE(audio_bytes(now) == audio_bytes(new_bytes_));
  EXPECT_TRUE(now.compare(now.size() - 128, 128, new_bytes_, new_bytes_.size() - 128, 128) == 0);
}

}  // namespace
