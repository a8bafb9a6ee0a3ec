#include "tests/support/run_state_reset.h"

#include "model/run_state.h"
#include "model/settings.h"

namespace test_support {

void reset_run_state() {
  ::reset_run_state();
  set_default_settings();
}

}  // namespace test_support
