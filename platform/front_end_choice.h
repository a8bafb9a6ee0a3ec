#pragma once
// Which front end the program shows its pages and boxes on when none was
// installed: the desktop one when the program was built with it and a
// graphical display can be opened, else the terminal.
#include "platform/front_end.h"

namespace platform {

// DISPLAY or WAYLAND_DISPLAY names a display.
bool display_named();
// A display is named and the desktop front end can open it; always false in
// a build without the desktop front end.
bool graphical_display_available();
// Chosen once, on first use.
FrontEnd& chosen_front_end();

}  // namespace platform
