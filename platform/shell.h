#pragma once
#include <string>

namespace platform {

// Hands the address to xdg-open without waiting for the browser and without
// looking at the result, as the desktop shell's "open" verb does.
void xdg_open(const std::string& url);

}  // namespace platform
