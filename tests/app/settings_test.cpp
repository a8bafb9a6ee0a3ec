#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

  // The three templates, in the code page, and as UTF-8.
  static std::string templates() { return g_dirf + "|" + g_m3uf + "|" + g_tf; }
  static std::string templates_utf8() {
    return platform::to_utf8(g_dirf) + "|" + platform::to_utf8(g_m3uf) + "|" +
           platform::to_utf8(g_tf);
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
  const std::string defaults = "t|[/4] /1 - /2|/1 - /2 [/4]|/8 - /6 - /7";
  const std::string unread = defaults + "|Error! 871";
  const std::pair<std::string, std::string> cases[] = {
      // The file, and m3u ("t" or "f")|dirf|m3uf|tf after it, then each box.
      {"<Settings m3u=\"f\" nfo=\"t\" g_dirf=\"/1\" g_m3uf=\"/2\" g_tf=\"/6 /7\" />",
       "f|/1|/2|/6 /7"},
      {"<Settings m3u=\"true\" />", defaults},
      {"<Settings m3u=\"TRUE\" />", "f|[/4] /1 - /2|/1 - /2 [/4]|/8 - /6 - /7"},
      {"<Settings m3u=\"1\" />", "f|[/4] /1 - /2|/1 - /2 [/4]|/8 - /6 - /7"},
      {"<Settings g_tf=\"/7\" g_dirf=\"\" />", "t||/1 - /2 [/4]|/7"},
      {"<?xml version=\"1.0\"?>\r\n<Settings\r\ng_tf=\"/7\"\r/>\r\n",
       "t|[/4] /1 - /2|/1 - /2 [/4]|/7"},
      {"<?xml version=\"1.0\"?>\n\r<Settings g_tf=\"/7\" />", "t|[/4] /1 - /2|/1 - /2 [/4]|/7"},
      {"<Settings g_tf=\"/7\"", unread},
      {"", unread},
      {"<Settings g_tf=\"/6\" />" + std::string(2 << 20, ' '), unread},
      {"<Settings g_dirf=\"x\xF1", unread},  // found by fuzzing
      {lead_before_nul, unread},
      {"<Settings g_dirf=\"&#x", unread},
      {"<Other><Settings g_tf=\"/7\" /></Other>", defaults + "|Error! 880"},
      {"<settings g_tf=\"/7\" />", defaults + "|Error! 880"},
      // A comment whose text is "Settings" is a node of that name.
      {"<!--Settings--><Settings g_tf=\"/7\" />", defaults + "|Error! 886"},
  };
  for (const auto& [file, after] : cases) {
    SCOPED_TRACE(file.substr(0, 60));
    test_support::reset_run_state();
    test_support::RecordingFrontEnd shown;
    config.write_settings_file(file);
    const bool loaded = load_settings(config.settings_path());
    std::string boxes;
    for (const auto& box : shown.boxes) boxes += "|" + box.caption + " " + box.text;
    EXPECT_EQ(std::string(g_m3u ? "t" : "f") + "|" + templates() + boxes, after);
    EXPECT_EQ(loaded, boxes.empty());
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

TEST_F(Settings, MarkupCharactersInTemplatesSurviveSaveAndLoad) {
  config.register_settings(config.settings_path());
  g_dirf = "/1 & \"/2\" <live>";
  g_m3uf = "a&amp;b";
  g_tf = "caf\xE9 \x80 " + platform::name_from_fs("\xE6\x97\xA5");  // é, €, a Japanese letter
  write_settings();
  EXPECT_THAT(read_file(config.settings_path()),
              HasSubstr("caf\xC3\xA9 \xE2\x82\xAC \xE6\x97\xA5"));  // UTF-8 on disk
  const std::string saved = templates();
  g_dirf = g_m3uf = g_tf = "";
  ASSERT_TRUE(load_settings(config.settings_path()));
  EXPECT_EQ(templates(), saved);
}

// TinyXML steps over a character by its lead byte alone; a lead byte with
// its continuation bytes missing once carried it past the end of the file.
TEST_F(Settings, BytesThatAreNotUtf8ReadBackAsThemselves) {
  config.write_settings_file("<Settings g_dirf=\"a\xF3\" g_m3uf=\"caf\xE9\" g_tf=\"\xE6\x97\" />");
  ASSERT_TRUE(load_settings(config.settings_path()));
  EXPECT_EQ(templates(), platform::name_from_fs("a\xF3") + "|" + platform::name_from_fs("caf\xE9") +
                             "|" + platform::name_from_fs("\xE6\x97"));
  EXPECT_EQ(templates_utf8(), "a\xF3|caf\xE9|\xE6\x97");

  config.register_settings(config.settings_path());
  write_settings();
  g_dirf = g_m3uf = g_tf = "";
  ASSERT_TRUE(load_settings(config.settings_path()));
  EXPECT_EQ(templates_utf8(), "a\xF3|caf\xE9|\xE6\x97");
}
