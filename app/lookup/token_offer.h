#pragma once
// What the user can do when the database refuses the program: a token it
// rejects (HTTP 401), or the site's pages that refuse programs (HTTP 403).
#include <string>

namespace platform {
class Window;
}

// Says why in a box and, where a token set in the program can help, offers
// the token page at once. True when a new token is now in force, so that
// the step can be tried again. `why` is the refusal in a sentence or two.
bool offer_new_token(platform::Window* owner, const std::string& why);
