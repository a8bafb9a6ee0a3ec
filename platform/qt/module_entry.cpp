// The one symbol the program looks up in the desktop module.
#include "platform/dialogs/desktop_module.h"
#include "platform/qt/qt_front_end.h"

extern "C" platform::FrontEnd* plinth_desktop_front_end() {
  if (!platform::QtFrontEnd::can_open_display()) return nullptr;
  static platform::QtFrontEnd desktop;
  return &desktop;
}
