#include "app/local_scan.h"

#include <id3v1tag.h>
#include <id3v2header.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <tdebuglistener.h>
#include <textidentificationframe.h>

#include <algorithm>
#include <memory>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/tag_stream.h"
#include "platform/trace.h"

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

bool is_high_surrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Tag text to the code page. Characters up to U+00FF are taken as bytes, so
// a Latin-1 frame or an ID3v1 field (which in practice hold Windows-1252)
// keeps its bytes; anything else the code page lacks becomes '?'.
std::string code_page_text(const TagLib::String& text) {
  const std::wstring wide = text.toWString();
  std::string out;
  for (size_t i = 0; i < wide.size(); ++i) {
    const wchar_t c = wide[i];
    if (c < 0x100) {
      out += static_cast<char>(c);
    } else if (is_high_surrogate(c) && i + 1 < wide.size() && is_low_surrogate(wide[i + 1])) {
      out += '?';
      ++i;
    } else {
      out += platform::text_from_utf8(TagLib::String(std::wstring(1, c)).to8Bit(true));
    }
  }
  return out;
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
    if (!text.isEmpty()) return code_page_text(text);
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
  if (track.artist.empty()) track.artist = code_page_text(tag.artist());
  if (track.title.empty()) track.title = code_page_text(tag.title());
  if (track.album.empty()) track.album = code_page_text(tag.album());
  if (track.track_number.empty() && tag.track() != 0)
    track.track_number = std::to_string(tag.track());
  if (track.release_date.empty() && tag.year() != 0)
    track.release_date = std::to_string(tag.year());
}

}  // namespace

bool find_mp3_files(RunState& run) {
  const std::vector<std::string> names = platform::list_mp3_names();
  run.files.insert(run.files.end(), names.begin(), names.end());
  return !names.empty();
}

void read_local_tags(const std::string& file_name, LocalTrack& track) {
  const std::unique_ptr<TagLib::IOStream> stream = platform::open_tag_stream(file_name);
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

void scan_local_tracks(RunState& run) {
  for (const std::string& name : run.files) {
    platform::trace("reading: %s\n", name.c_str());
    LocalTrack track;
    read_local_tags(name, track);
    platform::trace("artist: '%s'\n", track.artist.c_str());
    platform::trace("title : '%s'\n", track.title.c_str());
    platform::trace("album : '%s'\n", track.album.c_str());
    platform::trace("label :\t'%s'\n", track.label.c_str());
    platform::trace("catnum:\t'%s'\n", track.catalog_number.c_str());
    platform::trace("track#: '%s'\n", track.track_number.c_str());
    platform::trace("reldate:'%s'\n", track.release_date.c_str());
    platform::trace("genre : '%s'\n", track.genre.c_str());
    platform::trace("style : '%s'\n", track.style.c_str());
    platform::trace("comment:'%s'\n", track.comment.c_str());
    run.local_tracks.push_back(track);
  }
}
