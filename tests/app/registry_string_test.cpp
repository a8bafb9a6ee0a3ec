#include "app/registry_string.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/front_end.h"
#include "tests/support/isolated_config.h"
#include "tests/support/recording_front_end.h"

namespace {

class RegistryString : public ::testing::Test {
 protected:
  int read(char (&buffer)[kRegistryBufferSize]) {
    return read_registry_string(kLocalMachine, "SOFTWARE\\Varnel\\Plinth", "Settings", buffer);
  }

  test_support::IsolatedConfig config;
  test_support::RecordingFrontEnd boxes;
};

}  // namespace

TEST_F(RegistryString, CountsTheTerminatingZero) {
  config.register_settings("/home/me/settings.xml");
  char buffer[kRegistryBufferSize];
  EXPECT_EQ(read(buffer), 22);
  EXPECT_STREQ(buffer, "/home/me/settings.xml");
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(RegistryString, MissingFileOrKeyIsAMissingKeyPath) {
  char buffer[kRegistryBufferSize];
  EXPECT_EQ(read(buffer), 0);
  config.write_registry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnel\\Other]\n\"Settings\"=\"/s\"\n");
  EXPECT_EQ(read(buffer), 0);
  ASSERT_EQ(boxes.boxes.size(), 2u);
  for (const auto& box : boxes.boxes) {
    EXPECT_EQ(box.text, "Could not find key path");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.style, platform::kBoxOk);  // plain OK, no icon
    EXPECT_FALSE(box.owned);
  }
}

TEST_F(RegistryString, MissingValueCannotBeRead) {
  config.write_registry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnel\\Plinth]\n\"Other\"=\"/s\"\n");
  char buffer[kRegistryBufferSize];
  EXPECT_EQ(read(buffer), 0);
  ASSERT_EQ(boxes.texts(), std::vector<std::string>{"Could not read key value"});
  EXPECT_EQ(boxes.boxes[0].caption, "Error");
}

TEST_F(RegistryString, ValueMustFitTheBufferWithItsZero) {
  char buffer[kRegistryBufferSize];
  config.register_settings("/" + std::string(kRegistryBufferSize - 2, 'a'));
  EXPECT_EQ(read(buffer), static_cast<int>(kRegistryBufferSize));
  EXPECT_EQ(std::strlen(buffer), kRegistryBufferSize - 1);
  EXPECT_TRUE(boxes.boxes.empty());

  config.register_settings("/" + std::string(kRegistryBufferSize - 1, 'a'));
  EXPECT_EQ(read(buffer), 0);
  EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Could not read key value"});
}
