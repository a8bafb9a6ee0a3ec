#pragma once
#include <string>

namespace platform {
class Window;
}

// The program's one way of telling the user that something failed: a modal
// box captioned "Error!" with a warning icon and an OK button.
int error_box(const std::string& text, platform::Window* owner = nullptr);
