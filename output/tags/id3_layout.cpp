#include "output/tags/id3_layout.h"

namespace {

constexpr uint64_t kHeaderSize = 10;

unsigned byte_at(const std::string& text, size_t i) { return static_cast<unsigned char>(text[i]); }

}  // namespace

int64_t id3v2_tag_size(const std::string& head) {
  if (head.size() < kHeaderSize || head.compare(0, 3, "ID3") != 0) return 0;
  const unsigned version = byte_at(head, 3);
  if (version < 2 || version > 4 || byte_at(head, 4) == 0xFF) return -1;
  uint64_t size = 0;
  for (size_t i = 6; i < 10; ++i) {
    if (byte_at(head, i) >= 0x80) return -1;  // not a syncsafe number
    size = (size << 7) | byte_at(head, i);
  }
  const bool footer = version == 4 && (byte_at(head, 5) & 0x10) != 0;
  return static_cast<int64_t>(kHeaderSize + size + (footer ? kHeaderSize : 0));
}

bool is_id3v1(const std::string& last_128) {
  return last_128.size() == kId3v1Size && last_128.compare(0, 3, "TAG") == 0;
}

bool find_id3_layout(uint64_t file_size, const std::string& head, const std::string& last_128,
                     Id3Layout& layout) {
  const int64_t v2_size = id3v2_tag_size(head);
  if (v2_size < 0) return false;
  layout.file_size = file_size;
  layout.v2_size = static_cast<uint64_t>(v2_size);
  layout.has_v1 = file_size >= kId3v1Size && is_id3v1(last_128);
  // "TAG" inside the ID3v2 tag of a tiny file is not an ID3v1 tag.
  if (layout.has_v1 && layout.v2_size > file_size - kId3v1Size) layout.has_v1 = false;
  // An ID3v2 tag that runs into the ID3v1 tag, or past the end, belongs to
  // a damaged file: better not to write into it at all.
  return layout.v2_size <= file_size - (layout.has_v1 ? kId3v1Size : 0);
}
