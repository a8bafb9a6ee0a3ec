#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "app/settings/registry_string.h"
#include "app/settings/settings_file.h"
#include "platform/codepage.h"
#include "tests/support/isolated_config.h"
#include "tests/support/mp3_files.h"
#include "tests/support/recording_front_end.h"
#include "tests/support/run_state_reset.h"

using ::testing::HasSubstr;

using test_support::read_file;

namespace {

class Settings : public ::testing::Test {
 protected:
  void SetUp() override { test_support::reset_run_state(); }

  // The three templates as UTF-8.
  static void expect_templates_utf8(const std::string& dirf, const std::string& m3uf,
                                    const std::string& tf) {
    EXPECT_EQ(platform::to_utf8(g_dirf), dirf);
    EXPECT_EQ(platform::to_utf8(g_m3uf), m3uf);
    EXPECT_EQ(platform::to_utf8(g_tf), tf);
  }

  test_support::IsolatedConfig config;
  test_support::RecordingFrontEnd boxes;
};

}  // namespace

// Settings files and what they leave: the playlist switch and the three
// templates (from the defaults), and the boxes shown.
TEST_F(Settings, LoadingReplacesWhatTheFileHoldsOrRefusesItWhole) {
  const std::string lead_before_nul(
      "<Settings m3u=\"t\" g_dirf=\"\xF3\xF3\xF3\x00\x80\xF3#m33\xD9\xBB\xC4\xF1\xF1\n", 36);
  const std::string dirf = "[/4] /1 - /2", m3uf = "/1 - /2 [/4]", tf = "/8 - /6 - /7";
  const struct {
    std::string file;
    bool m3u;
    std::string dirf, m3uf, tf;
    std::string box;  // "" for none
  } cases[] = {
      {"<Settings m3u=\"f\" nfo=\"t\" g_dirf=\"/1\" g_m3uf=\"/2\" g_tf=\"/6 /7\" />", false, "/1",
       "/2", "/6 /7", ""},
      {"<Settings m3u=\"true\" />", true, dirf, m3uf, tf, ""},
      {"<Settings m3u=\"TRUE\" />", false, dirf, m3uf, tf, ""},
      {"<Settings m3u=\"1\" />", false, dirf, m3uf, tf, ""},
      {"<Settings g_tf=\"/7\" g_dirf=\"\" />", true, "", m3uf, "/7", ""},
      {"<?xml version=\"1.0\"?>\r\n<Settings\r\ng_tf=\"/7\"\r/>\r\n", true, dirf, m3uf, "/7", ""},
      {"<?xml version=\"1.0\"?>\n\r<Settings g_tf=\"/7\" />", true, dirf, m3uf, "/7", ""},
      {"<Settings g_tf=\"/7\"", true, dirf, m3uf, tf, "Error! 871"},
      {"", true, dirf, m3uf, tf, "Error! 871"},
      {"<Settings g_tf=\"/6\" />" + std::string(2 << 20, ' '), true, dirf, m3uf, tf, "Error! 871"},
      {"<Settings g_dirf=\"x\xF1", true, dirf, m3uf, tf, "Error! 871"},  // found by fuzzing
      {lead_before_nul, true, dirf, m3uf, tf, "Error! 871"},
      {"<Settings g_dirf=\"&#x", true, dirf, m3uf, tf, "Error! 871"},
      {"<Other><Settings g_tf=\"/7\" /></Other>", true, dirf, m3uf, tf, "Error! 880"},
      {"<settings g_tf=\"/7\" />", true, dirf, m3uf, tf, "Error! 880"},
      // A comment whose text is "Settings" is a node of that name.
      {"<!--Settings--><Settings g_tf=\"/7\" />", true, dirf, m3uf, tf, "Error! 886"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.substr(0, 60));
    test_support::reset_run_state();
    test_support::RecordingFrontEnd shown;
    config.write_settings_file(c.file);
    EXPECT_EQ(load_settings(config.settings_path()), c.box.empty());
    EXPECT_EQ(g_m3u, c.m3u);
    EXPECT_EQ(g_dirf, c.dirf);
    EXPECT_EQ(g_m3uf, c.m3uf);
    EXPECT_EQ(g_tf, c.tf);
    std::vector<std::string> boxes;
    for (const auto& box : shown.boxes) boxes.push_back(box.caption + " " + box.text);
    EXPECT_EQ(boxes, c.box.empty() ? std::vector<std::string>{} : std::vector{c.box});
  }
}

TEST_F(Settings, DefaultsAreWrittenAsTwoLines) {
  config.register_settings(config.settings_path());
  write_settings();
  EXPECT_EQ(read_file(config.settings_path()),
            "<?xml version=\"1.0\"?>\n"
            "<Settings m3u=\"t\" nfo=\"f\" g_dirf=\"[/4] /1 - /2\" g_m3uf=\"/1 - /2 [/4]\" "
            "g_tf=\"/8 - /6 - /7\" />\n");
  g_m3u = false;
  write_settings();
  EXPECT_THAT(read_file(config.settings_path()), HasSubstr("m3u=\"f\" nfo=\"f\""));
  // Where no file can be made, saving is silent.
  config.register_settings(config.config_home() + "/missing/folder/settings.xml");
  write_settings();
  EXPECT_TRUE(boxes.boxes.empty());
}

// A registry value fills the caller's buffer with its terminating zero, or
// is not read at all.
TEST_F(Settings, ARegistryValueFitsItsBufferOrIsNotRead) {
  char buffer[kRegistryBufferSize];
  for (const size_t size : {kRegistryBufferSize - 1, kRegistryBufferSize}) {
    config.register_settings("/" + std::string(size - 1, 's'));
    const int read = read_registry_string(kLocalMachine, kSettingsKey, kSettingsValue, buffer);
    EXPECT_EQ(read, size < kRegistryBufferSize ? static_cast<int>(size) + 1 : 0) << size;
    EXPECT_EQ(boxes.boxes.size(), size < kRegistryBufferSize ? 0u : 1u) << size;
  }
  EXPECT_EQ(std::strlen(buffer), kRegistryBufferSize - 1);
}

TEST_F(Settings, MarkupCharactersInTemplatesSurviveSaveAndLoad) {
  config.register_settings(config.settings_path());
  g_dirf = "/1 & \"/2\" <live>";
  g_m3uf = "a&amp;b";
  g_tf = "caf\xE9 \x80 " + platform::name_from_fs("\xE6\x97\xA5");  // é, €, a Japanese letter
  write_settings();
  EXPECT_THAT(read_file(config.settings_path()),
              HasSubstr("caf\xC3\xA9 \xE2\x82\xAC \xE6\x97\xA5"));  // UTF-8 on disk
  const std::string dirf = g_dirf, m3uf = g_m3uf, tf = g_tf;
  g_dirf = g_m3uf = g_tf = "";
  ASSERT_TRUE(load_settings(config.settings_path()));
  EXPECT_EQ(g_dirf, dirf);
  EXPECT_EQ(g_m3uf, m3uf);
  EXPECT_EQ(g_tf, tf);
}

// TinyXML steps over a character by its lead byte alone; a lead byte with
// its continuation bytes missing once carried it past the end of the file.
TEST_F(Settings, BytesThatAreNotUtf8ReadBackAsThemselves) {
  config.write_settings_file("<Settings g_dirf=\"a\xF3\" g_m3uf=\"caf\xE9\" g_tf=\"\xE6\x97\" />");
  ASSERT_TRUE(load_settings(config.settings_path()));
  EXPECT_EQ(g_dirf, platform::name_from_fs("a\xF3"));
  EXPECT_EQ(g_m3uf, platform::name_from_fs("caf\xE9"));
  EXPECT_EQ(g_tf, platform::name_from_fs("\xE6\x97"));
  expect_templates_utf8("a\xF3", "caf\xE9", "\xE6\x97");

  config.register_settings(config.settings_path());
  write_settings();
  g_dirf = g_m3uf = g_tf = "";
  ASSERT_TRUE(load_settings(config.settings_path()));
  expect_templates_utf8("a\xF3", "caf\xE9", "\xE6\x97");
}

// Save Settings writes to the file the user's own registry file names and
// leaves that registry file as it was; one that only the system-wide
// registry file names is read, never written.
TEST_F(Settings, SavingGoesWhereTheUsersRegistryFileSays) {
  using ::testing::HasSubstr;
  const std::string mine = config.config_home() + "/mine.xml";
  config.register_settings(mine);
  const std::string registry = read_file(config.registry_path());
  EXPECT_THAT(write_settings(), HasSubstr(mine));
  EXPECT_THAT(read_file(mine), HasSubstr("<Settings m3u=\"t\""));
  EXPECT_EQ(read_file(config.registry_path()), registry);

  std::filesystem::create_directories(config.system_config() + "/plinth");
  std::filesystem::rename(config.registry_path(), config.system_config() + "/plinth/registry.reg");
  EXPECT_THAT(write_settings(), HasSubstr(config.settings_path()));
  EXPECT_THAT(read_file(config.registry_path()),
              ::testing::StartsWith("Windows Registry Editor Version 5.00\n"));
  EXPECT_THAT(read_file(config.registry_path()), HasSubstr("settings.xml"));
}
