#pragma once
// A list line that its list box cuts off (too long for the box, or scrolled
// out of sight sideways) shows its whole text as a tool tip while the mouse
// rests on it. The pages' list boxes are narrow, and some (the search terms)
// cannot scroll sideways at all. Lines that are wholly in view get no tip.
class QListWidget;

namespace platform {

void show_cut_lines_as_tips(QListWidget* list);

}  // namespace platform
