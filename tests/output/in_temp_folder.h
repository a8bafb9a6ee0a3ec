#pragma once
// A test that runs inside a fresh temporary folder: the cover picture and
// the renames work in the current folder, as they do in a run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "tests/support/run_state_reset.h"
#include "tests/support/temp_dir.h"

namespace output_test {

class InTempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::reset_run_state();
    char buffer[PATH_MAX];
    ASSERT_NE(::getcwd(buffer, sizeof buffer), nullptr);
    previous_ = buffer;
    ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
  }
  void TearDown() override {
    EXPECT_EQ(::chdir(previous_.c_str()), 0);
    test_support::reset_run_state();
  }

  std::string file(const std::string& name) const { return dir_.file(name); }

  test_support::TempDir dir_;

 private:
  std::string previous_;
};

}  // namespace output_test
