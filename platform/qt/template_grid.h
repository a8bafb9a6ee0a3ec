#pragma once
// Where each control of a template goes in a grid, read from the template's
// own placement: controls side by side share a row, controls one above the
// other share a column. The desktop front end lays a page out from it, so
// that the page grows and shrinks with its window while the template stays
// the one description of the page.
#include <vector>

#include "platform/dialogs/dialog_template.h"

namespace platform {

struct GridCell {
  int row = 0;
  int column = 0;
  int column_span = 1;
};

struct TemplateGrid {
  std::vector<GridCell> cells;  // one a control, in template order
  int rows = 0;
  int columns = 0;
};

// Columns are the bands of overlapping horizontal extents of the controls
// that are not static texts; a static text stands in the columns it
// overlaps, or in a column of its own beside them. Rows are the bands of
// overlapping vertical extents of the controls that are not buttons; a
// button stands in the row it overlaps most, and buttons beside no other
// control make rows of their own. Several buttons in one cell stand one
// above the other.
TemplateGrid template_grid(const DialogTemplate& dialog);

}  // namespace platform
