#include "app/api_source.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/isolated_config.h"
#include "tests/support/mp3_files.h"

namespace {

TEST(ApiSource, TokenFromTheEnvironmentElseTheTokenFileAndTheBaseAddress) {
  test_support::IsolatedConfig config;
  const std::string token_file = config.config_home() + "/plinth/discogs-token";
  const struct {
    const char* environment;  // nullptr: unset
    const char* file;         // nullptr: no file
    const char* token;
  } cases[] = {
      {nullptr, nullptr, ""},
      {"  env-token\n", "file-token\n", "env-token"},
      {"", " file-token \r\nsecond line\n", "file-token"},
      {nullptr, "file-token", "file-token"},
      {"bad\x01token", nullptr, ""},
  };
  for (const auto& c : cases) {
    if (c.environment)
      setenv("DISCOGS_TOKEN", c.environment, 1);
    else
      unsetenv("DISCOGS_TOKEN");
    std::remove(token_file.c_str());
    if (c.file) test_support::write_file(token_file, c.file);
    EXPECT_EQ(api_config_from_environment().token, c.token)
        << (c.environment ? c.environment : "unset") << " / " << (c.file ? c.file : "none");
  }
  unsetenv("DISCOGS_TOKEN");
  EXPECT_EQ(api_config_from_environment().base, "https://api.discogs.com");
  setenv("PLINTH_API_URL", "http://127.0.0.1:8080/", 1);
  EXPECT_EQ(api_config_from_environment().base, "http://127.0.0.1:8080");
  unsetenv("PLINTH_API_URL");
  EXPECT_EQ(
      api_config_from_environment().user_agent.rfind("Plinth/" PLINTH_TEST_VERSION " +http://", 0),
      0u);
}

}  // namespace
