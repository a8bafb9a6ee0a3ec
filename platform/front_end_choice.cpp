#include "platform/front_end_choice.h"

#include <cstdlib>

#include "platform/term/term_front_end.h"
#ifdef PLINTH_HAVE_QT
#include "platform/qt/qt_front_end.h"
#endif

namespace platform {
namespace {

FrontEnd* choose_front_end() {
#ifdef PLINTH_HAVE_QT
  if (graphical_display_available()) {
    static QtFrontEnd desktop;
    return &desktop;
  }
#endif
  static TermFrontEnd terminal;
  return &terminal;
}

}  // namespace

bool display_named() {
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

bool graphical_display_available() {
#ifdef PLINTH_HAVE_QT
  return display_named() && QtFrontEnd::can_open_display();
#else
  return false;
#endif
}

FrontEnd& chosen_front_end() {
  static FrontEnd* const chosen = choose_front_end();
  return *chosen;
}

}  // namespace platform
