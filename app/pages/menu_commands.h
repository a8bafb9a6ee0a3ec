#pragma once
// Menu 103, shared by every wizard page. The commands never close the page.
#include <string>

namespace platform {
class Window;
}

// Runs the menu command of that id with the page as the owner of its boxes;
// "Online Help" opens help_location() at the anchor ("" for none). False
// when the id is not a menu command.
bool handle_menu_command(platform::Window& page, int command, const std::string& help_anchor);

// Marks the menu's switches with their state; done as each page opens.
void show_menu_state(platform::Window& page);

// The maker's address and what the program says about itself.
std::string maker_address();
std::string help_page_address();  // http://<maker>/plinthhelp.html
// The help page installed with the program (file://), else the address above.
std::string help_location();
std::string about_caption();  // "Plinth Duziva - " + maker
std::string about_text();     // description, version, maker
