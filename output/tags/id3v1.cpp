#include "output/tags/id3v1.h"

#include "output/tags/id3_layout.h"

namespace {

// A field's text: up to its first zero byte, trailing blanks dropped.
std::string field(const std::string& tag, size_t begin, size_t width) {
  std::string text = tag.substr(begin, width);
  text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string fixed(const std::string& text, size_t width) {
  std::string out = text.substr(0, width);
  out.resize(width, '\0');
  return out;
}

}  // namespace

Id3v1Fields parse_id3v1(const std::string& tag) {
  Id3v1Fields fields;
  if (tag.size() < kId3v1Size) return fields;
  fields.title = field(tag, 3, 30);
  fields.artist = field(tag, 33, 30);
  fields.album = field(tag, 63, 30);
  fields.year = field(tag, 93, 4);
  // ID3v1.1 keeps the track in the comment's last byte, behind a zero.
  const bool with_track = tag[125] == '\0' && tag[126] != '\0';
  fields.comment = field(tag, 97, with_track ? 28 : 30);
  fields.track = with_track ? static_cast<unsigned char>(tag[126]) : 0;
  fields.genre = static_cast<unsigned char>(tag[127]);
  return fields;
}

std::string render_id3v1(const Id3v1Fields& fields) {
  std::string tag = "TAG" + fixed(fields.title, 30) + fixed(fields.artist, 30) +
                    fixed(fields.album, 30) + fixed(fields.year, 4);
  if (fields.track >= 1 && fields.track <= 255) {
    tag += fixed(fields.comment, 28) + '\0' + static_cast<char>(fields.track);
  } else {
    tag += fixed(fields.comment, 30);
  }
  tag += static_cast<char>(fields.genre >= 0 && fields.genre <= 255 ? fields.genre : 255);
  return tag;
}
