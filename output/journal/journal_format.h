#pragma once
// The journal of one Finish!: what the folder and each file were before,
// so that the run can be taken back after the program has ended.
//
// It is text, one record a line, each field a single token: names and tag
// bytes in hexadecimal ("-" for none), so no byte of a name or tag can be
// taken for the format's own. Each section ends with a line "check" and the
// hash of every byte before it; a journal whose hash does not match, or
// that holds anything the format does not, was damaged or edited by hand
// and is refused. The sections, each written once, in this order:
//
//   plinth journal 2                       before the first file changes
//   time <seconds since 1970, UTC>
//   folder <path before> <path after>
//   folder-id <device> <inode>             (the folder itself, however named)
//   file <old name> <new name> <audio hash> <ID3v2 tag> <ID3v1 tag>  (each file)
//   writes <name> <hash of the content to be> <content before, or ->
//                                          (the cover, the playlist)
//   check <hash>
//   result <file number> <0|1 moved> <tags hash>   after Finish! (each file)
//   folder-moved <0|1>
//   created <name> <content hash>          (each file written, as written)
//   check <hash>
//   undone <seconds>                       after a complete --undo, also
//   check <hash>                           straight after the plan
//
// The plan alone is a whole plan: a run cut short is taken back from it.
// Journals of version 1 (no folder-id, no writes) are read as well.
#include <cstdint>
#include <string>
#include <vector>

struct JournalFile {
  std::string old_name, new_name;  // one entry of the folder each, in the code page
  std::string audio_hash;          // of the bytes between the tags
  std::string old_v2;              // the whole ID3v2 tag with its padding, or empty
  std::string old_v1;              // the 128 bytes of the ID3v1 tag, or empty
  // From the result section:
  bool result_known = false;
  bool moved = false;
  std::string tags_hash;  // of the tags Finish! left, empty when unknown
};

struct JournalCreated {
  std::string name;
  std::string content_hash;
};

// A file the run writes whole, recorded before it is written.
struct JournalWrite {
  std::string name;
  std::string new_hash;  // of the content the run means to write
  bool had_old = false;  // a file was there, and its bytes are kept here
  std::string old_bytes;
};

struct Journal {
  int version = 2;
  int64_t time = 0;
  std::string folder_before, folder_after;  // absolute paths, one parent
  bool has_folder_id = false;
  uint64_t folder_device = 0, folder_inode = 0;
  std::vector<JournalFile> files;
  std::vector<JournalWrite> writes;
  bool result_known = false;
  bool folder_moved = false;
  std::vector<JournalCreated> created;
  bool undone = false;
  int64_t undone_time = 0;
};

// A hash of bytes as 32 hexadecimal digits.
std::string content_hash(const std::string& bytes);

// Bytes as two lower-case hexadecimal digits each, as the state files write
// names, and back; false for an odd count or any other character.
std::string lower_hex(const std::string& bytes);
bool from_lower_hex(const std::string& text, std::string& bytes);

// The sections as text; each ends with its check line, which covers
// `before` (the sections already written) and the new one.
std::string journal_plan_text(const Journal& journal);
std::string journal_result_text(const std::string& before, const Journal& journal);
std::string journal_undone_text(const std::string& before, int64_t time);

// Reads a journal; false, with the reason, when it is damaged, was edited,
// or names anything outside its folder. Names are judged as the file
// system will see them, after every decoding, by the checks Finish! used:
// the name of a file the run wrote passes the one for names from the
// database, every other name the one for any entry of a folder.
bool parse_journal(const std::string& text, Journal& journal, std::string& why);
