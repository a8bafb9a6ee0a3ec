#include "platform/files/moves.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <sstream>

#include "tests/support/mp3_files.h"
#include "tests/support/temp_dir.h"

namespace {

using test_support::read_file;
using ::testing::ContainerEq;

// Every entry under the folder: "name=bytes", "name/" for a folder.
std::set<std::string> tree(const std::string& folder) {
  std::set<std::string> shown;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string name = std::filesystem::relative(entry.path(), folder).string();
    shown.insert(entry.is_directory() ? name + "/" : name + "=" + read_file(entry.path()));
  }
  return shown;
}

// The entries of a tree written as one text, "|" between them.
std::set<std::string> entries(const std::string& text) {
  std::set<std::string> split;
  std::stringstream in(text);
  for (std::string entry; std::getline(in, entry, '|');) split.insert(entry);
  return split;
}

// No move ever replaces a file or a folder, empty or not, nor a second name
// of the same file; a move that fails changes nothing.
TEST(Moves, MoveOrRefuseAndChangeNothing) {
  using Move = int (*)(const std::string&, const std::string&);
  const Move plain = platform::move_no_replace, by_link = platform::move_by_link,
             after_check = platform::move_after_check;
  const struct {
    Move move;
    std::string made;  // as entries() reads it; "name@other" is a hard link
    std::string from, to;
    int error;
    std::string left;
  } cases[] = {
      {plain, "old.mp3=content", "old.mp3", "new.mp3", 0, "new.mp3=content"},
      {plain, "a.mp3=first|b.mp3=second", "a.mp3", "b.mp3", EEXIST, "a.mp3=first|b.mp3=second"},
      {plain, "a.mp3=first|empty folder/", "a.mp3", "empty folder", EEXIST,
       "a.mp3=first|empty folder/"},
      // rename(2) would replace the empty folder.
      {plain, "album/|album/01.mp3=one|target/", "album", "target", EEXIST,
       "album/|album/01.mp3=one|target/"},
      {plain, "album/|album/01.mp3=one", "album", "renamed", 0, "renamed/|renamed/01.mp3=one"},
      {plain, "track.mp3=x", "track.mp3", "Track.mp3", 0, "Track.mp3=x"},
      {plain, "a.mp3=shared|b.mp3@a.mp3", "a.mp3", "b.mp3", EEXIST, "a.mp3=shared|b.mp3=shared"},
      {plain, "a.mp3=x", "missing.mp3", "b.mp3", ENOENT, "a.mp3=x"},
      {plain, "a.mp3=x", "a.mp3", "", ENOENT, "a.mp3=x"},
      // 0xE9 is e acute in Windows-1252; on disk the name is UTF-8.
      {plain, "a.mp3=x", "a.mp3", "Caf\xE9.mp3", 0, "Caf\xC3\xA9.mp3=x"},
      {by_link, "a=first|b=second", "a", "b", EEXIST, "a=first|b=second"},
      {by_link, "a=first|b=second", "a", "c", 0, "b=second|c=first"},
      {after_check, "album/|other/", "album", "other", EEXIST, "album/|other/"},
      {after_check, "album/|other/", "album", "moved", 0, "moved/|other/"},
  };
  for (const auto& c : cases) {
    test_support::TempDir dir;
    for (const std::string& entry : entries(c.made)) {
      const size_t mark = entry.find_first_of("=@");
      const std::string path = dir.file(entry.substr(0, mark));
      if (mark == std::string::npos) std::filesystem::create_directory(path);
      if (mark != std::string::npos && entry[mark] == '=')
        test_support::write_file(path, entry.substr(mark + 1));
      const bool hard_link = mark != std::string::npos && entry[mark] == '@';
      ASSERT_EQ(hard_link ? ::link(dir.file(entry.substr(mark + 1)).c_str(), path.c_str()) : 0, 0);
    }
    const std::string to = c.to.empty() ? "" : dir.path() + "/" + c.to;
    EXPECT_EQ(c.move(dir.path() + "/" + c.from, to), c.error) << c.from << " to " << c.to;
    EXPECT_THAT(tree(dir.path()), ContainerEq(entries(c.left))) << c.from << " to " << c.to;
  }
}

}  // namespace
