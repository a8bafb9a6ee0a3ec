#include "output/tags/tag_stream.h"

#include <algorithm>

#include "platform/codepage.h"
#include "platform/files/file_read.h"

namespace {

class ReadOnlyFileStream : public TagLib::IOStream {
 public:
  ReadOnlyFileStream(const std::string& name, int fd, long length)
      : name_(name), fd_(fd), length_(length) {}
  ~ReadOnlyFileStream() override { platform::close_file(fd_); }
  ReadOnlyFileStream(const ReadOnlyFileStream&) = delete;
  ReadOnlyFileStream& operator=(const ReadOnlyFileStream&) = delete;

  TagLib::FileName name() const override { return name_.c_str(); }

  TagLib::ByteVector readBlock(unsigned long length) override {
    if (position_ >= length_) return TagLib::ByteVector();
    const unsigned long left = static_cast<unsigned long>(length_ - position_);
    std::string data;
    // A read cut short or failed leaves the library a short block.
    if (!platform::read_at(fd_, static_cast<uint64_t>(position_), std::min<uint64_t>(length, left),
                           data)) {
      data.clear();
    }
    position_ += static_cast<long>(data.size());
    return TagLib::ByteVector(data.data(), static_cast<unsigned int>(data.size()));
  }

  // Only read here: the tags are written by the program's own writer.
  void writeBlock(const TagLib::ByteVector&) override {}
  void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
  void removeBlock(unsigned long, unsigned long) override {}
  void truncate(long) override {}
  bool readOnly() const override { return true; }
  bool isOpen() const override { return true; }

  void seek(long offset, Position from) override {
    const long base = from == Beginning ? 0 : from == Current ? position_ : length_;
    const long target = base + offset;
    position_ = target < 0 ? 0 : target;
  }

  long tell() const override { return position_; }
  long length() override { return length_; }

 private:
  std::string name_;
  int fd_;
  long length_;
  long position_ = 0;
};

}  // namespace

std::unique_ptr<TagLib::IOStream> open_tag_stream(const std::string& name) {
  uint64_t size = 0;
  const int fd = platform::open_regular_file(name, size);
  if (fd < 0) return nullptr;
  return std::make_unique<ReadOnlyFileStream>(platform::fs_name(name), fd, static_cast<long>(size));
}
