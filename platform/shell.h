#pragma once
#include <string>

namespace platform {

// Hands the address to xdg-open without waiting for the browser and without
// looking at the result, as the desktop shell's "open" verb does.
void xdg_open(const std::string& url);

// Whether xdg-open is there and has a browser it can start: a graphical
// display, or a browser named in $BROWSER.
bool browser_available();

}  // namespace platform
