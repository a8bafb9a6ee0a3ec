#pragma once
// The three pages that pick a line from a list (search term, search result,
// release) answer alike: "Next >>" takes the chosen line, "<< Back" returns
// to the page before, "Cancel" and the close box end the run, and the menu
// works as on every page. A page shown again opens as the user left it.
#include <cstdint>

#include "app/pages/pages.h"
#include "platform/dialogs/dialog.h"

struct PickPage {
  void (*open)(platform::Window& dialog);  // fills the page when it opens
  void (*next)(platform::Window& dialog);  // "Next >>"
  // Another button of the page, or a notification; returns whether it was
  // handled. May be null.
  bool (*other_command)(platform::Window& dialog, int id, unsigned notification);
  const char* help_anchor;  // where "Online Help" opens the help page
};

// The page procedure's answer to one message; the open message's lparam is
// the PageChoice the page keeps its user's choice in (or 0).
bool pick_page_message(const PickPage& page, platform::Window& dialog, unsigned message,
                       uintptr_t wparam, intptr_t lparam);

// The choice the page was opened with; nullptr when none.
PageChoice* page_choice(const platform::Window& dialog);

// Runs a pick page and tells how it was left.
PageExit run_pick_page(int template_id, platform::DialogProc procedure, PageChoice& choice);
