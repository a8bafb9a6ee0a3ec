#include "output/tags/tag_writer.h"

#include "common/release_year.h"
#include "output/names/cover_name.h"
#include "output/tags/id3_layout.h"
#include "output/tags/id3v1.h"
#include "output/tags/id3v2_edit.h"
#include "platform/files/album_entries.h"
#include "platform/files/file_read.h"
#include "platform/files/moves.h"
#include "platform/files/safe_write.h"
#include "platform/trace.h"

namespace {

// Room left in a newly written tag, so that the next write of a somewhat
// longer text still fits in place.
constexpr size_t kPadding = 2048;

std::string track_entry(const std::vector<std::string>& list, int track) {
  if (track < 0 || static_cast<size_t>(track) >= list.size()) return std::string();
  return list[static_cast<size_t>(track)];
}

std::string year_text(const std::string& release_date) {
  const int32_t year = year_from_date(release_date);
  return year != -1 ? std::to_string(year) : release_date;
}

// The cover goes into the tag only when its file holds something: after a
// failed download the file keeps the picture it had.
std::string cover_bytes(const Release& release) {
  std::string bytes;
  if (release.picture_url.size() > 3) platform::read_entry(cover_file_name(release), bytes);
  return bytes;
}

TagValues values_for(const Release& release, int track, const std::string& picture) {
  TagValues values;
  values.artist = track_entry(release.track_artists, track);
  values.album = release.title;
  values.year = year_text(release.release_date);
  values.content_type = release.style;
  values.title = track_entry(release.track_names, track);
  // The position in full: track 256 is "256".
  if (track >= 0) values.track = std::to_string(static_cast<long long>(track) + 1);
  values.picture = picture;
  return values;
}

using OldTags = FileTags;

}  // namespace

bool read_file_tags(const std::string& file_name, FileTags& old) {
  uint64_t size = 0;
  std::string head, tail;
  if (!platform::regular_file_size(file_name, size)) return false;
  if (!platform::read_file_part(file_name, 0, 10, head)) return false;
  if (size >= kId3v1Size &&
      !platform::read_file_part(file_name, size - kId3v1Size, kId3v1Size, tail)) {
    return false;
  }
  if (!find_id3_layout(size, head, tail, old.layout)) return false;
  if (old.layout.has_v1) old.v1 = tail;
  return old.layout.v2_size == 0 ||
         (platform::read_file_part(file_name, 0, old.layout.v2_size, old.v2) &&
          old.v2.size() == old.layout.v2_size);
}

namespace {

// In place when the new tag fits the old one's room and the ID3v1 tag stays
// as it is: then the only change is one write inside the ID3v2 tag.
bool fits_in_place(const OldTags& old, const std::string& frames, const std::string& v1) {
  return old.layout.v2_size >= frames.size() + 10 && old.layout.has_v1 && old.v1 == v1;
}

// 0, or the system's error number.
int write_new_tags(const std::string& file_name, const OldTags& old, const EditedTags& edited,
                   platform::StagedRewrites& batch, const platform::FilePiece::Reader& reader,
                   TagWrite& write) {
  const std::string v1 = render_id3v1(edited.v1);
  const Id3Layout& layout = old.layout;
  if (fits_in_place(old, edited.v2_frames, v1)) {
    const std::string v2 = id3v2_3_tag(edited.v2_frames, layout.v2_size);
    if (v2 == old.v2) return 0;
    return batch.overwrite_part(file_name, layout.file_size, 0, v2);
  }
  const std::string v2 = id3v2_3_tag(edited.v2_frames, edited.v2_frames.size() + 10 + kPadding);
  write.staged = true;
  return batch.stage(file_name, layout.file_size,
                     {platform::FilePiece::bytes(v2),
                      platform::FilePiece::old_range(
                          layout.audio_begin(), layout.audio_end() - layout.audio_begin(), reader),
                      platform::FilePiece::bytes(v1)},
                     write.index);
}

}  // namespace

TagWrite write_tags(const std::string& file_name, const Release& release, int track,
                    const std::string& picture, platform::StagedRewrites& batch,
                    const platform::FilePiece::Reader& audio_reader) {
  platform::trace("id3 updating %s\n", file_name.c_str());
  TagWrite write;
  OldTags old;
  if (!read_file_tags(file_name, old)) {
    write.failure = "it could not be read as an MP3 file";
    return write;
  }
  Id3v1Fields old_v1;
  if (!old.v1.empty()) old_v1 = parse_id3v1(old.v1);
  EditedTags edited;
  if (!edit_id3v2(old.v2, old.v1.empty() ? nullptr : &old_v1, values_for(release, track, picture),
                  edited)) {
    write.failure = "its ID3 tag is damaged or of an unknown version";
    return write;
  }
  const int error = write_new_tags(file_name, old, edited, batch, audio_reader, write);
  if (error != 0) {
    write.staged = false;
    write.failure = platform::error_text(error);
  }
  return write;
}

std::string write_tags(const std::string& file_name, const Release& release, int track) {
  platform::StagedRewrites batch;
  const TagWrite write = write_tags(file_name, release, track, cover_bytes(release), batch);
  if (!write.failure.empty()) return write.failure;
  int error = batch.flush();
  if (error == 0 && write.staged) error = batch.commit(write.index);
  if (error == 0) error = batch.flush_folders(".");
  return error == 0 ? std::string() : platform::error_text(error);
}
