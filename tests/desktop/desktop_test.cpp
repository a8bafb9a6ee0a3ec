// What the desktop gets: the install tree and the desktop entry that offers
// the program for folders.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/mp3_files.h"
#include "tests/support/temp_dir.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

using test_support::read_file;
using test_support::run_command;
using test_support::TempDir;

bool is_file(const std::string& path, bool executable = false) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  return !executable || (info.st_mode & S_IXUSR) != 0;
}

bool have(const std::string& program) {
  int status = 0;
  run_command("command -v " + program + " >/dev/null 2>&1", &status);
  return status == 0;
}

const std::string kSource = PLINTH_SOURCE_DIR;
const std::string kEntry = kSource + "/resources/desktop/plinth.desktop";

TEST(Install, PutsTheProgramEntryIconHelpAndSharedSettingsUnderThePrefix) {
  TempDir prefix;
  int status = -1;
  const std::string log =
      run_command(std::string("'") + PLINTH_CMAKE + "' --install '" + PLINTH_BUILD_DIR +
                      "' --prefix '" + prefix.path() + "' 2>&1",
                  &status);
  ASSERT_EQ(status, 0) << log;
  EXPECT_TRUE(is_file(prefix.file("bin/plinth"), true));
  EXPECT_TRUE(is_file(prefix.file("share/applications/plinth.desktop")));
  EXPECT_TRUE(is_file(prefix.file("share/icons/hicolor/scalable/apps/plinth.svg")));
  const std::string help = prefix.file("share/doc/plinth/plinthhelp.html");
  ASSERT_TRUE(is_file(help));
  EXPECT_EQ(read_file(help).substr(0, 15), "<!DOCTYPE html>");

  // A first run of the installed program finds the shared settings (no box
  // says what is missing), shows where the installed help is, and saves
  // the user's own copy, never the shared one.
  const std::string shared = prefix.file("etc/xdg/plinth/settings.xml");
  const std::string before = read_file(shared);
  ASSERT_THAT(before, HasSubstr("<Settings "));
  TempDir home;
  const std::string album = home.file("album");
  mkdir(album.c_str(), 0755);
  std::ofstream(album + "/a.mp3") << "not much of a song";
  const std::string pages = run_command(
      "printf 'online help\n\nsave settings\n\ncancel\n' | env -u DISPLAY -u WAYLAND_DISPLAY "
      "XDG_CONFIG_HOME='" +
          home.file("config") + "' XDG_CONFIG_DIRS='" + prefix.file("etc/xdg") +
          "' XDG_CACHE_HOME='" + home.file("cache") + "' PATH=/usr/bin:/bin BROWSER= '" +
          prefix.file("bin/plinth") + "' '" + album + "' 2>&1 >/dev/null",
      &status);
  EXPECT_EQ(status, 1);  // cancelled
  EXPECT_THAT(pages, Not(HasSubstr("Could not")));
  EXPECT_THAT(pages, HasSubstr("It is the file\n" + help + "\n"));
  EXPECT_EQ(read_file(shared), before);
  EXPECT_THAT(read_file(home.file("config/plinth/settings.xml")), HasSubstr("<Settings "));
  EXPECT_THAT(read_file(home.file("config/plinth/registry.reg")),
              HasSubstr(home.file("config/plinth/settings.xml")));
}

TEST(DesktopEntry, OffersTheProgramForFoldersAndPassesTheFolder) {
  const std::string entry = read_file(kEntry);
  EXPECT_THAT(entry, HasSubstr("\nType=Application\n"));
  EXPECT_THAT(entry, HasSubstr("\nExec=plinth %f\n"));
  EXPECT_THAT(entry, HasSubstr("\nMimeType=inode/directory;\n"));
  EXPECT_THAT(entry, HasSubstr("\nIcon=plinth\n"));
}

TEST(DesktopEntry, PassesDesktopFileValidate) {
  if (!have("desktop-file-validate")) GTEST_SKIP() << "desktop-file-validate is not installed";
  int status = -1;
  const std::string report = run_command("desktop-file-validate '" + kEntry + "' 2>&1", &status);
  EXPECT_EQ(status, 0) << report;
  EXPECT_EQ(report, "");
}

}  // namespace
