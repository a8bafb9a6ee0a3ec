#pragma once
// The three pages that pick a line from a list (search term, search result,
// release) answer alike: "Next >>" takes the chosen line, "Cancel" and the
// close box end the run, and the menu works as on every page.
#include <cstdint>

#include "platform/dialog.h"

struct PickPage {
  void (*open)(platform::Window& dialog);  // fills the page when it opens
  void (*next)(platform::Window& dialog);  // "Next >>"
  // Another button of the page; returns whether it was one. May be null.
  bool (*other_button)(platform::Window& dialog, int id);
  const char* help_anchor;  // where "Online Help" opens the help page
};

// The page procedure's answer to one message.
bool pick_page_message(const PickPage& page, platform::Window& dialog, unsigned message,
                       uintptr_t wparam);
