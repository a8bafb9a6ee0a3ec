#pragma once

// Installs the front end the run shows its pages on: the desktop one when a
// display is named and the desktop module can open it, else the terminal
// (with one line on standard error saying why, when a display was named).
void pick_front_end();

// True when the pages are drawn in the terminal.
bool pages_in_terminal();
