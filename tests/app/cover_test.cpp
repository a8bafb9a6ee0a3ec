#include "output/cover.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "app/cover_download.h"
#include "tests/output/in_temp_folder.h"
#include "tests/support/canned_http_server.h"
#include "tests/support/mp3_maker.h"
#include "tests/support/run_checks.h"

namespace {

using test_support::CannedAnswer;
using test_support::CannedHttpServer;
using test_support::read_file;
using test_support::write_file;

const char *const kPictureAddress = "http://images.discogs.com/R/t/R-123.jpg";

Release release_with_picture(const std::string &address) {
  Release release;
  release.title = "Title";
  release.picture_url = address;
  return release;
}

using test_support::entries;

std::string picture(size_t size) {
  std::string bytes = "\xFF\xD8";
  for (size_t i = 0; bytes.size() + 2 < size; ++i) bytes += static_cast<char>(i * 31 % 251);
  return bytes + "\xFF\xD9";
}

CannedAnswer jpeg_answer(const std::string &body) {
  return CannedAnswer::Bytes("HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: " +
                             std::to_string(body.size()) + "\r\n\r\n" + body);
}

TEST(CoverFileName, IsTheAddressTailOrTheSafeTitle) {
  EXPECT_EQ(cover_file_name(release_with_picture(kPictureAddress)), "R-123.jpg");
  Release release = release_with_picture("");
  release.title = "AC/DC: Live?";
  EXPECT_EQ(cover_file_name(release), "ACDC; Live.jpg");
  release.title = "../../etc/x";
  EXPECT_EQ(cover_file_name(release), "....etcx.jpg");
}

// The picture host is reached through the test's server as the proxy, the
// way the program reaches the stand-in database.
class CoverDownload : public output_test::InTempFolder {
 protected:
  CannedHttpServer server_{[this](const std::string &) { return answer_; }};
  test_support::ScopedProxy proxy_{server_.url("")};
  CannedAnswer answer_ = jpeg_answer(picture(1000));
};

TEST_F(CoverDownload, APictureLargerThanAPageIsSavedWhole) {
  const std::string bytes = picture(300000);
  answer_ = jpeg_answer(bytes);
  const bool traced_to_stdout = !::isatty(STDOUT_FILENO);
  testing::internal::CaptureStdout();
  download_cover(release_with_picture(kPictureAddress));
  const std::string trace = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(read_file(file("R-123.jpg")) == bytes);
  ASSERT_EQ(server_.requests().size(), 1u);
  EXPECT_EQ(test_support::request_line(server_.requests()[0]),
            std::string("GET ") + kPictureAddress + " HTTP/1.0");
  if (traced_to_stdout) {
    EXPECT_EQ(trace, std::string("testing '") + kPictureAddress + "' for download?\n" +
                         "downloading " + kPictureAddress + "\n");
  }
}

TEST_F(CoverDownload, AnErrorPageOrACutAnswerIsNeverSaved) {
  answer_ = CannedAnswer::Page(404, "<html>Not here</html>");
  download_cover(release_with_picture(kPictureAddress));
  answer_ = CannedAnswer::Bytes("HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n" + picture(100));
  download_cover(release_with_picture(kPictureAddress));
  answer_ = CannedAnswer::CloseAtOnce();
  download_cover(release_with_picture(kPictureAddress));
  EXPECT_EQ(server_.requests().size(), 3u);
  EXPECT_TRUE(entries(dir_.path()).empty());
}

TEST_F(CoverDownload, APictureThatIsThereIsNotFetchedAgain) {
  write_file(file("R-123.jpg"), "earlier picture");
  download_cover(release_with_picture(kPictureAddress));
  EXPECT_TRUE(server_.requests().empty());
  EXPECT_EQ(read_file(file("R-123.jpg")), "earlier picture");
}

TEST_F(CoverDownload, AShortOrEmptyAddressIsNotFetched) {
  download_cover(release_with_picture(""));
  download_cover(release_with_picture("ab"));
  EXPECT_TRUE(server_.requests().empty());
  EXPECT_TRUE(entries(dir_.path()).empty());
}

TEST_F(CoverDownload, TheTitleFallbackNameStaysInTheFolder) {
  std::filesystem::create_directory(file("album"));
  ASSERT_EQ(::chdir(file("album").c_str()), 0);
  Release release = release_with_picture("http:");  // no '/' in it
  release.title = "../Escape";
  download_cover(release);
  EXPECT_EQ(entries(file("album")), std::set<std::string>({"..Escape.jpg"}));
  EXPECT_EQ(entries(dir_.path()), std::set<std::string>({"album"}));
}

}  // namespace
