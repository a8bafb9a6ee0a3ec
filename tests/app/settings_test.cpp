#include "app/settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/codepage.h"
#include "tests/support/isolated_config.h"
#include "tests/support/mp3_maker.h"
#include "tests/support/recording_front_end.h"
#include "tests/support/run_state_reset.h"

using test_support::read_file;
using test_support::write_file;

namespace {

class Settings : public ::testing::Test {
 protected:
  void SetUp() override { test_support::reset_run_state(); }

  // Loads a settings file holding the one line after the declaration.
  bool load_line(const std::string& line) {
    config.write_settings_file("<?xml version=\"1.0\"?>\n" + line + "\n");
    return load_settings(config.settings_path());
  }

  test_support::IsolatedConfig config;
  test_support::RecordingFrontEnd boxes;
};

}  // namespace

TEST_F(Settings, AttributesReplaceTheDefaults) {
  ASSERT_TRUE(
      load_line("<Settings m3u=\"f\" nfo=\"t\" g_dirf=\"/1\" g_m3uf=\"/2\" g_tf=\"/6 /7\" />"));
  EXPECT_FALSE(g_m3u);
  EXPECT_EQ(g_dirf, "/1");
  EXPECT_EQ(g_m3uf, "/2");
  EXPECT_EQ(g_tf, "/6 /7");
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Settings, OnlyALowerCaseTTurnsThePlaylistOn) {
  const std::pair<const char*, bool> cases[] = {{"true", true}, {"t", true}, {"TRUE", false},
                                                {"1", false},   {"", false}, {"yes", false}};
  for (const auto& [value, on] : cases) {
    g_m3u = !on;
    ASSERT_TRUE(load_line(std::string("<Settings m3u=\"") + value + "\" />"));
    EXPECT_EQ(g_m3u, on) << "m3u=\"" << value << "\"";
  }
}

TEST_F(Settings, MissingAttributesKeepTheirValuesAndEmptyOnesEmpty) {
  g_m3u = false;
  ASSERT_TRUE(load_line("<Settings g_tf=\"/7\" g_dirf=\"\" />"));
  EXPECT_EQ(g_tf, "/7");
  EXPECT_EQ(g_dirf, "");
  EXPECT_EQ(g_m3uf, "/1 - /2 [/4]");
  EXPECT_FALSE(g_m3u);
}

TEST_F(Settings, FileThatIsNotXmlIs871) {
  EXPECT_FALSE(load_line("<Settings g_tf=\"/7\""));
  EXPECT_FALSE(load_settings(config.config_home() + "/missing.xml"));
  test_support::write_file(config.settings_path(), "");
  EXPECT_FALSE(load_settings(config.settings_path()));
  EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"871", "871", "871"}));
  EXPECT_EQ(boxes.boxes[0].caption, "Error!");
  EXPECT_EQ(g_tf, "/8 - /6 - /7");
}

TEST_F(Settings, SettingsMustBeATopLevelElement) {
  EXPECT_FALSE(load_line("<Other><Settings g_tf=\"/7\" /></Other>"));
  EXPECT_FALSE(load_line("<settings g_tf=\"/7\" />"));
  // A comment whose text is "Settings" is a node of that name, not an element.
  EXPECT_FALSE(load_line("<!--Settings--><Settings g_tf=\"/7\" />"));
  EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"880", "880", "886"}));
  EXPECT_EQ(g_tf, "/8 - /6 - /7");
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
  EXPECT_NE(read_file(config.settings_path()).find("m3u=\"f\" nfo=\"f\""), std::string::npos);
}

TEST_F(Settings, MarkupCharactersInTemplatesSurviveSaveAndLoad) {
  config.register_settings(config.settings_path());
  g_dirf = "/1 & \"/2\" <live>";
  g_m3uf = "a&amp;b";
  g_tf = "caf\xE9 \x80 " + platform::name_from_fs("\xE6\x97\xA5");  // é, €, a Japanese letter
  write_settings();
  EXPECT_NE(read_file(config.settings_path()).find("caf\xC3\xA9 \xE2\x82\xAC \xE6\x97\xA5"),
            std::string::npos);  // UTF-8 on disk
  const std::string dirf = g_dirf, m3uf = g_m3uf, tf = g_tf;
  g_dirf = g_m3uf = g_tf = "";
  ASSERT_TRUE(load_settings(config.settings_path()));
  EXPECT_EQ(g_dirf, dirf);
  EXPECT_EQ(g_m3uf, m3uf);
  EXPECT_EQ(g_tf, tf);
}

// A fresh install: only the system-wide registry file and settings exist.
TEST_F(Settings, SavingWritesTheUsersOwnCopyNeverTheSharedOne) {
  const std::string shared = config.system_config() + "/plinth/settings.xml";
  std::filesystem::create_directories(config.system_config() + "/plinth");
  write_file(shared, "<?xml version=\"1.0\"?>\n<Settings m3u=\"t\" g_tf=\"/7\" />\n");
  write_file(config.system_config() + "/plinth/registry.reg",
             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnel\\Plinth]\n\"Settings\"=\"" + shared + "\"\n");
  std::filesystem::remove_all(config.config_home());
  g_tf = "/8 /7";
  write_settings();
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_NE(read_file(shared).find("g_tf=\"/7\""), std::string::npos);
  ASSERT_NE(read_file(config.settings_path()).find("g_tf=\"/8 /7\""), std::string::npos);
  g_tf = "/1";
  write_settings();  // through the user's registry file written just now
  EXPECT_NE(read_file(config.settings_path()).find("g_tf=\"/1\""), std::string::npos);
  EXPECT_NE(read_file(config.registry_path()).find(config.settings_path()), std::string::npos);
}

TEST_F(Settings, SavingWhereNoFileCanBeMadeIsSilent) {
  config.register_settings(config.config_home() + "/missing/folder/settings.xml");
  write_settings();
  EXPECT_TRUE(boxes.boxes.empty());
}

// TinyXML steps over a character by its lead byte alone; a lead byte with
// its continuation bytes missing once carried it past the end of the file.
TEST_F(Settings, BytesThatAreNotUtf8ReadBackAsThemselves) {
  ASSERT_TRUE(load_line("<Settings g_dirf=\"a\xF3\" g_m3uf=\"caf\xE9\" g_tf=\"\xE6\x97\" />"));
  EXPECT_EQ(g_dirf, platform::name_from_fs("a\xF3"));
  EXPECT_EQ(g_m3uf, platform::name_from_fs("caf\xE9"));
  EXPECT_EQ(g_tf, platform::name_from_fs("\xE6\x97"));
  EXPECT_EQ(platform::to_utf8(g_m3uf), "caf\xE9");

  config.register_settings(config.settings_path());
  write_settings();
  g_dirf = g_m3uf = g_tf = "";
  ASSERT_TRUE(load_settings(config.settings_path()));
  EXPECT_EQ(platform::to_utf8(g_dirf), "a\xF3");
  EXPECT_EQ(platform::to_utf8(g_tf), "\xE6\x97");
}

TEST_F(Settings, BrokenFilesAreRefusedWithoutReadingPastThem) {
  // Found by fuzzing: lead bytes before a NUL and at the end of the file.
  static const char kLeadBeforeNul[] =
      "<?xml version=\"1.0\" ?>\n<Settings m3u=\"t\" nfr=\"f\" g_dirf=\""
      "\xF3\xF3\xF3\xF3\xF3\xF3\xF3\xF3\xF3\x00\x80\xF3\xF3#m33\xD9\xBB\xC4\xBB\xC4\xC4"
      "\xF1\xF1\xF1\xF1\xF1\n";
  const std::string truncated[] = {
      "<Settings g_dirf=\"x\xF1",  // a lead byte as the very last byte
      std::string(kLeadBeforeNul, sizeof kLeadBeforeNul - 1),
      "<Settings g_dirf=\"&#x",
  };
  for (const std::string& content : truncated) {
    test_support::write_file(config.settings_path(), content);
    EXPECT_FALSE(load_settings(config.settings_path()));
  }
  EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"871", "871", "871"}));
}

TEST_F(Settings, WindowsLineEndsAndAnOversizedFile) {
  config.write_settings_file("<?xml version=\"1.0\"?>\r\n<Settings\r\ng_tf=\"/7\"\r/>\r\n");
  ASSERT_TRUE(load_settings(config.settings_path()));
  EXPECT_EQ(g_tf, "/7");

  config.write_settings_file("<Settings g_tf=\"/6\" />" + std::string(2 << 20, ' '));
  EXPECT_FALSE(load_settings(config.settings_path()));
  EXPECT_EQ(g_tf, "/7");
  EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"871"}));
}
