#pragma once
// Rewrites of several files made durable together, so that a folder of
// files costs one journal commit instead of one per file. Each new content is
// first written beside its file under a temporary name; flush() makes all of
// them (and the writes made in place) durable at once; then commit() puts
// each in place of its file by a rename. At every moment each file is whole, old or
// new. Names are Windows-1252 text as the program holds it; each call
// returns 0 or an errno value.
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/files/safe_write.h"

namespace platform {

class StagedRewrites {
 public:
  StagedRewrites() = default;
  // Removes the temporary files that were not put in place, and lets the
  // replaced files go in the background.
  ~StagedRewrites();
  StagedRewrites(const StagedRewrites&) = delete;
  StagedRewrites& operator=(const StagedRewrites&) = delete;

  // Writes the new content of an existing regular file beside it, with the
  // file's mode, owner and extended attributes; `index` is then the
  // rewrite's number for commit(). A symbolic link is refused (ELOOP), as
  // for every file of the album. ESTALE when
  // the file's size is not expected_size; EACCES or EPERM when it may not
  // be written.
  int stage(const std::string& name, uint64_t expected_size, const std::vector<FilePiece>& pieces,
            size_t& index);

  // Overwrites bytes inside an existing regular file (not a link) in place,
  // with one write, never past its end. The write itself waits for flush(), so that
  // nothing in place changes before the caller is ready. ESTALE as above.
  int overwrite_part(const std::string& name, uint64_t expected_size, uint64_t offset,
                     const std::string& data);

  // Makes the writes in place, then every staged file and every write in
  // place durable. All are written before the first is flushed, and a few
  // are flushed at once, so the file system commits them together; only
  // these files are waited for. Returns when every flush has ended: the
  // first error in the order of the calls, or 0 when all are on the disk.
  int flush();

  // Renames staged file `index` over its file. ESTALE, and the staged file
  // removed, when the file was changed or replaced since it was staged.
  int commit(size_t index);

  // Flushes the folders that commit() changed and `also` (a folder where
  // the caller renamed files), each once.
  int flush_folders(const std::string& also);

  // Lets the files that commit() replaced go, in the background. Freeing
  // their blocks slows every flush that runs meanwhile, so a caller with
  // more to flush calls this after its last flush; the destructor does it
  // otherwise.
  void let_replaced_go();

 private:
  struct Staged {
    std::string target;     // the file's path
    std::string temporary;  // the new content's path, until committed
    dev_t device = 0;
    ino_t inode = 0;
    int64_t mtime_ns = 0;
    uint64_t size = 0;
  };
  struct InPlace {
    int fd = -1;
    uint64_t offset = 0;
    std::string data;
  };
  void note_folder(const std::string& folder);

  std::vector<Staged> staged_;
  std::vector<InPlace> in_place_;
  std::vector<int> replaced_fds_;  // the old files, held until they may go
  std::vector<std::string> changed_folders_;
};

// Removes from the current folder the temporary files that an interrupted
// run left: regular files named ".plinth-new-....tmp" whose writing process
// no longer runs, and nothing else. Only to be called while holding the
// folder's lock (FolderLock), so that a run at work in the folder keeps its
// new files. Returns how many were removed.
int remove_staged_leftovers();

// Flushes a folder's entries (renames and new names in it) to the disk.
int flush_folder(const std::string& folder);

}  // namespace platform
