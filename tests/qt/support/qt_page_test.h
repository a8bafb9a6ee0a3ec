#pragma once
// The fixture of the Qt page tests: the desktop front end installed (its
// browser calls recorded instead of made), a sample album to show, and a
// driver whose steps must all be taken by the end of the test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/qt/qt_front_end.h"
#include "tests/qt/support/page_driver.h"
#include "tests/qt/support/sample_pages.h"

namespace qt_tests {

class QuietQtFrontEnd : public platform::QtFrontEnd {
 public:
  void open_url(const std::string& url) override { opened.push_back(url); }
  std::vector<std::string> opened;
};

class QtPageTest : public ::testing::Test {
 protected:
  QtPageTest() {
    platform::set_front_end(&ui);
    set_sample_run(&run);
  }
  ~QtPageTest() override {
    set_sample_run(nullptr);
    platform::set_front_end(nullptr);
  }
  void TearDown() override {
    for (const std::string& problem : driver.problems) ADD_FAILURE() << problem;
    EXPECT_TRUE(driver.done()) << "steps left untaken";
    EXPECT_FALSE(driver.ran_out) << "a window was left open";
  }

  QuietQtFrontEnd ui;
  SampleRun run = sample_album();
  PageDriver driver;
};

}  // namespace qt_tests
