#pragma once
namespace test_support {
// Puts the run state and the settings back as a new process has them, so
// that each test starts from a clean run.
void reset_run_state();
}  // namespace test_support
