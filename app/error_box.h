#pragma once
#include <string>

#include "web/http_client.h"

namespace platform {
class Window;
}

// The program's one way of telling the user that something failed: a modal
// box captioned "Error!" with a warning icon and an OK button.
int error_box(const std::string& text, platform::Window* owner = nullptr);

// What to tell the user about a request that brought no usable answer;
// `what` names what was asked for ("the search", "release 249504"). A
// connection that failed keeps the words "Could not connect to web server",
// with the host and the system's reason behind them; the rest say what
// happened: "The answer for ... took longer than 20 seconds", "... was cut
// off", "... was larger than 64 MB".
std::string http_failure_text(const HttpFailure& failure, const std::string& what);
