#pragma once
// Writing files so that a crash or a kill at any moment leaves the old
// content or the new one, never a cut file. Names are Windows-1252 text as
// the program holds it. Each write returns 0 or an errno value.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/files/file_read.h"

namespace platform {

// One part of a file's new content: bytes given here, or a byte range of
// the file as it is before the write (so large parts are copied, not held).
struct FilePiece {
  // Called with each part of an old range, in order, as it is copied.
  using Reader = std::function<void(const char* data, size_t size)>;

  static FilePiece bytes(std::string data);
  // With a reader, the range is copied through memory so that the reader
  // sees it on the way, instead of being read a second time.
  static FilePiece old_range(uint64_t offset, uint64_t length, Reader reader = nullptr);

  bool from_old = false;
  std::string data;
  uint64_t offset = 0;
  uint64_t length = 0;
  Reader reader;
};

// Replaces the content of an existing regular file by the pieces: the new
// content is written beside it in the same folder, flushed, given the old
// file's mode, owner and extended attributes, and renamed over it; then the
// folder is flushed. A symbolic link is followed, so its target is rewritten,
// unless links are refused (ELOOP).
// A file that may not be written (EACCES, EPERM) is left as it is.
// Fails with ESTALE, writing nothing, when the file's size is no longer
// expected_size (another program changed it meanwhile).
int rewrite_file(const std::string& name, uint64_t expected_size,
                 const std::vector<FilePiece>& pieces, Links links = Links::kFollow);

// Overwrites bytes at offset inside an existing regular file with one write,
// never past its end, and flushes them. ESTALE as above.
int overwrite_file_part(const std::string& name, uint64_t expected_size, uint64_t offset,
                        const std::string& data, Links links = Links::kFollow);

// Creates a new file with the content: it appears complete or not at all,
// and an existing file of that name is never replaced (EEXIST).
int create_file_whole(const std::string& name, const std::string& data);

// The whole content of a file: an existing regular file is rewritten as by
// rewrite_file, and a missing one is created as by create_file_whole.
int write_file_whole(const std::string& name, const std::string& data);

}  // namespace platform
