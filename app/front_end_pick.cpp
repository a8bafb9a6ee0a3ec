#include "app/front_end_pick.h"

#include <cstdio>
#include <string>

#include "platform/dialogs/desktop_module.h"
#include "platform/dialogs/front_end.h"
#include "platform/term/term_front_end.h"

void pick_front_end() {
  static platform::TermFrontEnd terminal;
  platform::FrontEnd* chosen = &terminal;
  if (platform::display_named()) {
    std::string why;
    if (platform::FrontEnd* desktop = platform::load_desktop_front_end(why)) {
      chosen = desktop;
    } else {
      std::fprintf(stderr, "plinth: showing the pages in the terminal: %s\n", why.c_str());
    }
  }
  platform::set_front_end(chosen);
}

bool pages_in_terminal() {
  return dynamic_cast<platform::TermFrontEnd*>(&platform::front_end()) != nullptr;
}
