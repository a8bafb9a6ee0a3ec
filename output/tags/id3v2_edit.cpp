#include "output/tags/id3v2_edit.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v1genres.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tfile.h>

#include <memory>
#include <vector>

#include "output/tags/taglib_text.h"

namespace {

using TagLib::ByteVector;
using TagLib::String;
namespace ID3v2 = TagLib::ID3v2;

constexpr size_t kHeaderSize = 10;
constexpr size_t kMaxTagSize = 0x0FFFFFFF;  // what a syncsafe size can say

// TagLib reads a tag through a File; this one is just the tag's bytes.
class TagBytes : public TagLib::File {
 public:
  explicit TagBytes(TagLib::IOStream* stream) : TagLib::File(stream) {}
  TagLib::Tag* tag() const override { return nullptr; }
  TagLib::AudioProperties* audioProperties() const override { return nullptr; }
  bool save() override { return false; }
};

// TagLib keeps a frame's header to itself (and to its friends); a class
// derived from Frame may reach it, which is all this one is for.
class FrameHeaderAccess : public ID3v2::Frame {
 public:
  using Header = ID3v2::Frame::Header;
  static Header* header_of(ID3v2::Frame* frame) { return (frame->*(&FrameHeaderAccess::header))(); }
};

// TagLib drops some ID3v2.3 frames on reading because ID3v2.4 has no such
// frames. We write ID3v2.3 again, so they can stay as they are.
class KeepingFrameFactory : public ID3v2::FrameFactory {
 protected:
  bool updateFrame(FrameHeaderAccess::Header* header) const override {
    const ByteVector id = header->frameID();
    if (header->version() == 3 && (id == "EQUA" || id == "RVAD" || id == "TRDA" || id == "TSIZ")) {
      return true;
    }
    return ID3v2::FrameFactory::updateFrame(header);
  }
};

// ID3v2.4 frames that TagLib leaves out of an ID3v2.3 tag. ASPI, SEEK and
// SIGN describe the old tag's bytes and are wrong once it changes; the
// others are kept in ID3v2.3 frame form.
bool dropped_in_v3(const ByteVector& id) {
  for (const char* kept :
       {"EQU2", "RVA2", "TDRL", "TDTG", "TMOO", "TPRO", "TSOA", "TSOT", "TSST", "TSOP"}) {
    if (id == kept) return true;
  }
  return false;
}

bool stale_in_new_tag(const ByteVector& id) { return id == "ASPI" || id == "SEEK" || id == "SIGN"; }

bool has_any(const ID3v2::Tag& tag, std::initializer_list<const char*> ids) {
  for (const char* id : ids) {
    if (!tag.frameList(id).isEmpty()) return true;
  }
  return false;
}

void add_text_frame(ID3v2::Tag& tag, const char* id, const String& text) {
  // Latin-1 where it can hold the text; TagLib changes to UTF-16 otherwise.
  auto* frame = new ID3v2::TextIdentificationFrame(id, String::Latin1);
  frame->setText(text);
  tag.addFrame(frame);
}

// What an ID3v1 tag knows and the ID3v2 tag lacks joins the ID3v2 tag, so
// that rebuilding the ID3v1 tag from it loses nothing.
void merge_id3v1(ID3v2::Tag& tag, const Id3v1Fields& v1) {
  auto merge = [&tag](std::initializer_list<const char*> ids, const char* id,
                      const std::string& text) {
    if (!text.empty() && !has_any(tag, ids)) add_text_frame(tag, id, unicode_text(text));
  };
  merge({"TIT2"}, "TIT2", v1.title);
  merge({"TPE1", "TPE2", "TPE3", "TCOM"}, "TPE1", v1.artist);
  merge({"TALB"}, "TALB", v1.album);
  merge({"TYER", "TDRC"}, "TYER", v1.year);
  merge({"TRCK"}, "TRCK", v1.track > 0 ? std::to_string(v1.track) : std::string());
  const String genre = v1.genre < 255 ? TagLib::ID3v1::genre(v1.genre) : String();
  merge({"TCON"}, "TCON", code_page_text(genre));
  if (!v1.comment.empty() && tag.frameList("COMM").isEmpty()) {
    auto* frame = new ID3v2::CommentsFrame(String::Latin1);
    frame->setLanguage("eng");
    frame->setText(unicode_text(v1.comment));
    tag.addFrame(frame);
  }
}

// Each written frame replaces every frame of its kinds; an empty text
// writes nothing and leaves them.
void replace_text(ID3v2::Tag& tag, const char* id, const std::string& text,
                  std::initializer_list<const char*> replaced) {
  if (text.empty()) return;
  for (const char* kind : replaced) tag.removeFrames(kind);
  add_text_frame(tag, id, unicode_text(text));
}

void replace_picture(ID3v2::Tag& tag, const std::string& picture) {
  if (picture.empty()) return;
  tag.removeFrames("APIC");
  auto* frame = new ID3v2::AttachedPictureFrame();
  frame->setMimeType("image/jpeg");
  frame->setPicture(ByteVector(picture.data(), static_cast<unsigned int>(picture.size())));
  tag.addFrame(frame);
}

void write_values(ID3v2::Tag& tag, const TagValues& values) {
  replace_text(tag, "TPE1", values.artist, {"TPE1", "TPE2", "TPE3", "TCOM"});
  replace_text(tag, "TALB", values.album, {"TALB"});
  // TagLib holds an ID3v2.3 year as TDRC; TYER itself passes through as written.
  replace_text(tag, "TYER", values.year, {"TYER", "TDRC"});
  replace_text(tag, "TCON", values.content_type, {"TCON"});
  replace_text(tag, "TIT2", values.title, {"TIT2"});
  replace_text(tag, "TRCK", values.track, {"TRCK"});
  replace_picture(tag, values.picture);
}

String first_text(const ID3v2::Tag& tag, std::initializer_list<const char*> ids) {
  for (const char* id : ids) {
    const ID3v2::FrameList& frames = tag.frameList(id);
    if (!frames.isEmpty()) return frames.front()->toString();
  }
  return String();
}

int leading_number(const std::string& text) {
  int value = 0;
  for (size_t i = 0; i < text.size() && text[i] >= '0' && text[i] <= '9' && value <= 255; ++i) {
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

int genre_index(const ID3v2::Tag& tag) {
  const ID3v2::FrameList& frames = tag.frameList("TCON");
  if (frames.isEmpty()) return 255;
  const auto* frame = dynamic_cast<const ID3v2::TextIdentificationFrame*>(frames.front());
  if (frame == nullptr) return 255;
  for (const String& field : frame->fieldList()) {
    if (field.isEmpty()) continue;
    bool numeric = false;
    const int number = field.toInt(&numeric);
    if (numeric) return number >= 0 && number <= 255 ? number : 255;
    return TagLib::ID3v1::genreIndex(field);
  }
  return 255;
}

Id3v1Fields id3v1_from(const ID3v2::Tag& tag) {
  Id3v1Fields v1;
  v1.title = code_page_text(first_text(tag, {"TIT2"}));
  v1.artist = code_page_text(first_text(tag, {"TPE1", "TPE2", "TPE3", "TCOM"}));
  v1.album = code_page_text(first_text(tag, {"TALB"}));
  v1.year = code_page_text(first_text(tag, {"TYER", "TDRC"})).substr(0, 4);
  v1.comment = code_page_text(tag.comment());
  const int track = leading_number(code_page_text(first_text(tag, {"TRCK"})));
  v1.track = track <= 255 ? track : 0;
  v1.genre = genre_index(tag);
  return v1;
}

// Renders the tag as ID3v2.3 frames. With the old size set to 0 TagLib
// pads with exactly 1024 zero bytes, which are cut off again here.
bool render_v3_frames(ID3v2::Tag& tag, std::string& frames) {
  constexpr unsigned int kTagLibPadding = 1024;
  std::vector<std::unique_ptr<ID3v2::Frame>> set_aside;
  // Pointers, not a copy of TagLib's list: a copy would share its ownership
  // of the frames and delete them when it goes.
  const std::vector<ID3v2::Frame*> all(tag.frameList().begin(), tag.frameList().end());
  for (ID3v2::Frame* frame : all) {
    const ByteVector id = frame->frameID();
    if (stale_in_new_tag(id)) {
      tag.removeFrame(frame);
    } else if (dropped_in_v3(id)) {
      tag.removeFrame(frame, false);
      set_aside.emplace_back(frame);
    }
  }
  tag.header()->setTagSize(0);
  const ByteVector rendered = tag.render(ID3v2::v3);
  if (rendered.size() < kHeaderSize + kTagLibPadding) return false;
  const ByteVector padding = rendered.mid(rendered.size() - kTagLibPadding);
  if (padding != ByteVector(kTagLibPadding, '\0')) return false;
  frames.assign(rendered.data() + kHeaderSize, rendered.size() - kHeaderSize - kTagLibPadding);
  for (const auto& frame : set_aside) {
    FrameHeaderAccess::header_of(frame.get())->setVersion(3);
    const ByteVector bytes = frame->render();
    if (bytes.size() > kHeaderSize) frames.append(bytes.data(), bytes.size());
  }
  return frames.size() + kHeaderSize <= kMaxTagSize;
}

std::string syncsafe(size_t value) {
  std::string out;
  for (int shift = 21; shift >= 0; shift -= 7) {
    out += static_cast<char>((value >> shift) & 0x7F);
  }
  return out;
}

}  // namespace

bool edit_id3v2(const std::string& old_tag, const Id3v1Fields* old_v1, const TagValues& values,
                EditedTags& edited) {
  ByteVector bytes(old_tag.data(), static_cast<unsigned int>(old_tag.size()));
  TagLib::ByteVectorStream stream(bytes);
  TagBytes file(&stream);  // outlives the tag, which keeps a pointer to it
  KeepingFrameFactory factory;
  std::unique_ptr<ID3v2::Tag> tag = old_tag.empty()
                                        ? std::make_unique<ID3v2::Tag>()
                                        : std::make_unique<ID3v2::Tag>(&file, 0, &factory);
  if (old_v1 != nullptr) merge_id3v1(*tag, *old_v1);
  write_values(*tag, values);
  edited.v1 = id3v1_from(*tag);
  return render_v3_frames(*tag, edited.v2_frames);
}

std::string id3v2_3_tag(const std::string& frames, size_t size) {
  std::string tag = std::string("ID3\x03\x00\x00", 6) + syncsafe(size - kHeaderSize) + frames;
  tag.resize(size, '\0');
  return tag;
}
