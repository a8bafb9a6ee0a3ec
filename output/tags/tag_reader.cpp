#include "output/tags/tag_reader.h"

#include <id3v1tag.h>
#include <id3v2header.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <tdebuglistener.h>
#include <textidentificationframe.h>

#include <algorithm>
#include <memory>

#include "output/tags/tag_stream.h"
#include "output/tags/taglib_text.h"

namespace {

// TagLib's complaints about damaged tags would land on the terminal the
// pages are drawn on; a damaged tag simply reads as absent.
class SilentTagLib : public TagLib::DebugListener {
 public:
  void printMessage(const TagLib::String&) override {}
};

void silence_taglib() {
  static SilentTagLib silent;
  TagLib::setDebugListener(&silent);
}

// The first non-empty text of the first frame of that kind.
std::string frame_text(const TagLib::ID3v2::Tag& tag, const char* id) {
  const TagLib::ID3v2::FrameListMap& frames = tag.frameListMap();
  const auto found = frames.find(id);
  if (found == frames.end()) return "";
  for (const TagLib::ID3v2::Frame* frame : found->second) {
    const auto* text_frame = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frame);
    const TagLib::String text = text_frame != nullptr && !text_frame->fieldList().isEmpty()
                                    ? text_frame->fieldList().front()
                                    : frame->toString();
    if (!text.isEmpty()) return program_text(text);
  }
  return "";
}

std::string first_frame_text(const TagLib::ID3v2::Tag& tag,
                             std::initializer_list<const char*> ids) {
  for (const char* id : ids) {
    const std::string text = frame_text(tag, id);
    if (!text.empty()) return text;
  }
  return "";
}

void read_id3v2(const TagLib::ID3v2::Tag& tag, LocalTrack& track) {
  track.artist = first_frame_text(tag, {"TPE1", "TPE2", "TPE3", "TCOM"});
  track.title = frame_text(tag, "TIT2");
  track.album = frame_text(tag, "TALB");
  track.track_number = frame_text(tag, "TRCK");
  track.release_date = first_frame_text(tag, {"TDRC", "TYER"});
  // TagLib reads an ID3v2.2/2.3 year (TYE, TYER) as the ID3v2.4 TDRC and
  // appends the day and month of a TDAT frame; the year is what was stored.
  const std::string& date = track.release_date;
  if (tag.header()->majorVersion() < 4 && date.size() > 4 && date[4] == '-' &&
      std::all_of(date.begin(), date.begin() + 4, [](char c) { return c >= '0' && c <= '9'; })) {
    track.release_date.resize(4);
  }
}

void fill_from_id3v1(const TagLib::ID3v1::Tag& tag, LocalTrack& track) {
  if (track.artist.empty()) track.artist = program_text(tag.artist());
  if (track.title.empty()) track.title = program_text(tag.title());
  if (track.album.empty()) track.album = program_text(tag.album());
  if (track.track_number.empty() && tag.track() != 0)
    track.track_number = std::to_string(tag.track());
  if (track.release_date.empty() && tag.year() != 0)
    track.release_date = std::to_string(tag.year());
}

}  // namespace

void read_local_tags(const std::string& file_name, LocalTrack& track) {
  const std::unique_ptr<TagLib::IOStream> stream = open_tag_stream(file_name);
  if (!stream) return;
  silence_taglib();
  TagLib::MPEG::File file(stream.get(), TagLib::ID3v2::FrameFactory::instance(), false);
  LocalTrack read;
  if (const TagLib::ID3v2::Tag* tag = file.ID3v2Tag(false)) read_id3v2(*tag, read);
  if (const TagLib::ID3v1::Tag* tag = file.ID3v1Tag(false)) fill_from_id3v1(*tag, read);
  auto keep = [](std::string& field, const std::string& text) {
    if (!text.empty()) field = text;
  };
  keep(track.artist, read.artist);
  keep(track.title, read.title);
  keep(track.album, read.album);
  keep(track.track_number, read.track_number);
  keep(track.release_date, read.release_date);
}
