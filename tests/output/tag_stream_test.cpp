// The read-only stream the tag library reads files through.
#include "output/tag_stream.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/mp3_maker.h"
#include "tests/support/temp_dir.h"

namespace {

std::string text(const TagLib::ByteVector& block) {
  return std::string(block.data(), block.size());
}

TEST(TagStream, ReadsAndSeeksLikeAFileAndStopsAtItsEnd) {
  test_support::TempDir dir;
  test_support::write_file(dir.file("a.mp3"), "0123456789");
  const auto stream = open_tag_stream(dir.file("a.mp3"));
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->length(), 10);
  EXPECT_EQ(text(stream->readBlock(4)), "0123");
  EXPECT_EQ(text(stream->readBlock(4)), "4567");
  stream->seek(-3, TagLib::IOStream::End);
  EXPECT_EQ(text(stream->readBlock(100)), "789");
  EXPECT_EQ(stream->tell(), 10);
  EXPECT_EQ(text(stream->readBlock(4)), "");
  stream->seek(-2, TagLib::IOStream::Current);
  EXPECT_EQ(text(stream->readBlock(1)), "8");
  stream->seek(-50, TagLib::IOStream::Beginning);
  EXPECT_EQ(stream->tell(), 0);
  stream->seek(20);
  EXPECT_EQ(text(stream->readBlock(4)), "");
  // Never writes.
  stream->writeBlock(TagLib::ByteVector("xx", 2));
  stream->truncate(0);
  EXPECT_EQ(test_support::read_file(dir.file("a.mp3")), "0123456789");
}

TEST(TagStream, OnlyARegularFileIsOpened) {
  test_support::TempDir dir;
  ASSERT_EQ(mkfifo(dir.file("pipe.mp3").c_str(), 0600), 0);  // must not block
  EXPECT_FALSE(open_tag_stream(dir.file("pipe.mp3")));
  ASSERT_EQ(mkdir(dir.file("folder.mp3").c_str(), 0700), 0);
  EXPECT_FALSE(open_tag_stream(dir.file("folder.mp3")));
  EXPECT_FALSE(open_tag_stream(dir.file("missing.mp3")));
}

}  // namespace
