#pragma once
// Reading parts of files. Names are Windows-1252 text as the program holds it.
#include <cstdint>
#include <string>

namespace platform {

// Whether a symbolic link under a name is followed to its target (the
// settings file may be one) or refused with ELOOP (the album's own files).
enum class Links { kFollow, kRefuse };

// The size of a regular file (a symbolic link is followed); false for
// anything else or when the file cannot be examined.
bool regular_file_size(const std::string& name, uint64_t& size);

// Up to length bytes from offset (fewer at the end of the file); false when
// the file cannot be read.
bool read_file_part(const std::string& name, uint64_t offset, uint64_t length, std::string& data);

// The whole content of a regular file; false when it cannot be read.
bool read_whole_file(const std::string& name, std::string& data, Links links = Links::kFollow);

// A descriptor open for reading on a regular file, and its size; -1 for
// anything else. Never blocks on a FIFO. The caller closes it (close_file).
int open_regular_file(const std::string& name, uint64_t& size, Links links = Links::kFollow);

// Up to length bytes of the descriptor from offset (fewer at its end); false
// when it cannot be read.
bool read_at(int fd, uint64_t offset, uint64_t length, std::string& data);

void close_file(int fd);

}  // namespace platform
