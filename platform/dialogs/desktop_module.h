#pragma once
// The desktop front end lives in a module of its own (plinth-qt.so), so that
// a run without a display never loads Qt. It is looked for beside the
// program (the build tree) and in the program's library folder (installed).
#include <string>

#include "platform/dialogs/front_end.h"

namespace platform {

// DISPLAY or WAYLAND_DISPLAY names a display.
bool display_named();

// The desktop front end, or nullptr with the reason in why: the module is
// missing or cannot be loaded, or the display cannot be opened.
FrontEnd* load_desktop_front_end(std::string& why);

}  // namespace platform

// What the module exports: its front end, or nullptr when the display that
// the environment names cannot be opened.
extern "C" platform::FrontEnd* plinth_desktop_front_end();
