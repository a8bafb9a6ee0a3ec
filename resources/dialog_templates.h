#pragma once
// The program's dialog templates and its menu, as data that every front end
// reads, and the modal run of a page from them.
#include <cstdint>

#include "platform/dialogs/dialog.h"
#include "resources/resource_ids.h"

namespace resources {

// nullptr for an id the program has no template or menu for.
const platform::DialogTemplate* find_dialog(int id);
const platform::MenuTemplate* find_menu(int id);

}  // namespace resources

// Runs a page modally from the template of that id in the program's
// resources, with its menu, and returns the page's result; -1 when there is
// no such template. The procedure gets param with its open message.
int dialog_box_param(int template_id, platform::Window* owner, platform::DialogProc proc,
                     intptr_t param);
