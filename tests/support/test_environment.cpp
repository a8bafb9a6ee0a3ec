// Linked into every test program: whatever a test does, the user's own
// configuration, registry file and log stay out of reach.
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/isolated_config.h"

namespace {

class IsolatedEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { config_ = std::make_unique<test_support::IsolatedConfig>(); }
  void TearDown() override { config_.reset(); }

 private:
  std::unique_ptr<test_support::IsolatedConfig> config_;
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new IsolatedEnvironment);

}  // namespace
