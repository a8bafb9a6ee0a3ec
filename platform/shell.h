#pragma once
#include <string>

namespace platform {

// Hands the address to the desktop's opener, xdg-open, without waiting for
// the browser. False when it could not open it: no opener, or none of the
// desktop's programs takes the address.
bool xdg_open(const std::string& url);

// Whether xdg-open is there and has a browser it can start: a graphical
// display, or a browser named in $BROWSER.
bool browser_available();

}  // namespace platform
