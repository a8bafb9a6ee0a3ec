#pragma once
// The steps of a crash-safe rewrite that the staged rewrites share with
// rewrite_file. For the platform's own writers only.
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/files/safe_write.h"

namespace platform {
namespace safe_write_parts {

// The path of the file a name finally stands for: a symbolic link is
// followed, or refused (ELOOP). 0 or an errno value.
int resolve_link(const std::string& path, Links links, std::string& resolved);

// Writes the pieces into fd from its start, the old ranges copied from old_fd.
int write_pieces(int old_fd, uint64_t old_size, const std::vector<FilePiece>& pieces, int fd);

// Gives fd the old file's owner, extended attributes and mode.
int take_owner_and_mode(const struct stat& old_info, int old_fd, int fd);

}  // namespace safe_write_parts
}  // namespace platform
