#include "output/cover.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <set>

#include "app/cover_download.h"
#include "tests/output/in_temp_folder.h"
#include "tests/support/standin_server.h"
#include "tests/support/mp3_files.h"
#include "tests/support/run_checks.h"

namespace {

using test_support::read_file;
using test_support::write_file;

const char *const kPictureAddress = "http://images.discogs.com/R/t/R-100101.jpg";

Release release_with_picture(const std::string &address) {
  Release release;
  release.title = "Title";
  release.picture_url = address;
  return release;
}

using test_support::entries;

TEST(CoverFileName, IsTheAddressTailOrTheSafeTitle) {
  EXPECT_EQ(cover_file_name(release_with_picture(kPictureAddress)), "R-100101.jpg");
  Release release = release_with_picture("");
  release.title = "AC/DC: Live?";
  EXPECT_EQ(cover_file_name(release), "ACDC; Live.jpg");
  release.title = "../../etc/x";
  EXPECT_EQ(cover_file_name(release), "....etcx.jpg");
}

// The picture host is reached through the stand-in as the proxy, the way the
// program reaches it.
class CoverDownload : public output_test::InTempFolder {
 protected:
  void serve(const std::vector<std::string> &args) {
    proxy_.reset();
    server_ = std::make_unique<test_support::StandinServer>(args);
    proxy_ = std::make_unique<test_support::ScopedProxy>(server_->proxy_url());
  }
  std::unique_ptr<test_support::StandinServer> server_;
  std::unique_ptr<test_support::ScopedProxy> proxy_;
  void SetUp() override {
    output_test::InTempFolder::SetUp();
    serve({});
  }
};

// A picture is saved whole, however large, or not at all.
TEST_F(CoverDownload, APictureIsSavedWholeOrNotAtAll) {
  const std::string cover = read_file(PLINTH_SOURCE_DIR "/tools/catalogue/covers/R-100101.jpg");
  const struct {
    std::vector<std::string> server;
    size_t size;  // 0: not saved
  } cases[] = {{{}, cover.size()},
               {{"--fault", "huge-cover", "--fault-size", "300000"}, 300000},
               {{"--fault", "status-404"}, 0},
               {{"--fault", "reset-mid-body"}, 0}};
  for (const auto &c : cases) {
    serve(c.server);
    download_cover(release_with_picture(kPictureAddress));
    EXPECT_EQ(server_->request_log().size(), 1u);
    const std::string saved = read_file(file("R-100101.jpg"));
    EXPECT_EQ(saved.size(), c.size);
    if (c.size > 0) {
      EXPECT_EQ(saved.compare(0, cover.size(), cover), 0);
    }
    std::filesystem::remove(file("R-100101.jpg"));
  }
}

TEST_F(CoverDownload, APictureThatIsThereIsNotFetchedAgain) {
  write_file(file("R-100101.jpg"), "earlier picture");
  download_cover(release_with_picture(kPictureAddress));
  EXPECT_TRUE(server_->request_log().empty());
  EXPECT_EQ(read_file(file("R-100101.jpg")), "earlier picture");
}

TEST_F(CoverDownload, AShortOrEmptyAddressIsNotFetched) {
  download_cover(release_with_picture(""));
  download_cover(release_with_picture("ab"));
  EXPECT_TRUE(server_->request_log().empty());
  EXPECT_TRUE(entries(dir_.path()).empty());
}

}  // namespace
