#include "app/lookup/api_source.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/files/state_files.h"
#include "platform/registry/registry.h"
#include "platform/trace.h"
#include "tests/support/isolated_config.h"
#include "tests/support/mp3_files.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// The token comes from the environment, else from the first line of the
// token file, read no further than a few KB; one that cannot be sent is
// refused in one line that names where it came from.
TEST(ApiSource, TokenFromTheEnvironmentElseTheTokenFileAndTheBaseAddress) {
  test_support::IsolatedConfig config;
  const std::string token_file = config.config_home() + "/plinth/discogs-token";
  const std::string long_line(5000, 't');
  const struct {
    const char* name;
    const char* environment;  // nullptr: unset
    std::string file;         // "-": no file
    const char* token;
    std::string refusal;  // a part of it; "" for none
  } cases[] = {
      {"None", nullptr, "-", "", ""},
      {"EnvironmentWins", "  env-token\n", "file-token\n", "env-token", ""},
      {"FileFirstLine", "", " file-token \r\nsecond line\n", "file-token", ""},
      {"FileWithoutLineEnd", nullptr, "file-token", "file-token", ""},
      {"LongSecondLine", nullptr, "file-token\n" + long_line, "file-token", ""},
      {"ControlInEnvironment", "bad\x01token", "file-token\n", "",
       "The database token in the environment variable DISCOGS_TOKEN holds a control character"},
      {"ControlInFile", nullptr, "bad\x1b[0mtoken\n", "",
       "The database token in the token file " + token_file + " holds a control character"},
      {"LongFirstLine", nullptr, long_line, "", "is longer than 4096 bytes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.environment)
      setenv("DISCOGS_TOKEN", c.environment, 1);
    else
      unsetenv("DISCOGS_TOKEN");
    std::remove(token_file.c_str());
    if (c.file != "-") test_support::write_file(token_file, c.file);
    std::string refusal = "old";
    EXPECT_EQ(api_config_from_environment(refusal).token, c.token);
    if (c.refusal.empty()) {
      EXPECT_EQ(refusal, "");
    } else {
      EXPECT_THAT(refusal, HasSubstr(c.refusal));
      EXPECT_THAT(refusal, Not(HasSubstr("\n")));
    }
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

// Without absolute XDG folders the token, the registry, the log and the
// journal all go under the home folder, each where a user looks for it.
TEST(ApiSource, WithoutXdgFoldersEveryFileOfTheUserIsUnderHome) {
  test_support::TempDir home;
  test_support::ScopedEnv h("HOME", home.path().c_str()), c("XDG_CONFIG_HOME", "config"),
      k("XDG_CACHE_HOME", "cache"), s("XDG_STATE_HOME", nullptr);
  EXPECT_EQ(token_file_path(), home.path() + "/.config/plinth/discogs-token");
  EXPECT_EQ(platform::registry_file_paths().front(), home.path() + "/.config/plinth/registry.reg");
  EXPECT_EQ(platform::trace_log_path(), home.path() + "/.cache/plinth/last-run.log");
  std::string journal;
  EXPECT_EQ(platform::state_folder("journal", journal), 0);
  EXPECT_EQ(journal, home.path() + "/.local/state/plinth/journal");
  test_support::ScopedEnv no_home("HOME", "relative");
  EXPECT_EQ(token_file_path(), "");
}

}  // namespace
