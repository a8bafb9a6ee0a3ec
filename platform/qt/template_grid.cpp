#include "platform/qt/template_grid.h"

#include <algorithm>

namespace platform {
namespace {

struct Band {
  int begin, end;  // dialog units, end excluded
};

int overlap(const Band& a, const Band& b) {
  return std::max(0, std::min(a.end, b.end) - std::max(a.begin, b.begin));
}

// Joins extents that overlap into bands, in order.
std::vector<Band> merged(std::vector<Band> extents) {
  std::sort(extents.begin(), extents.end(),
            [](const Band& a, const Band& b) { return a.begin < b.begin; });
  std::vector<Band> bands;
  for (const Band& extent : extents) {
    if (!bands.empty() && extent.begin < bands.back().end) {
      bands.back().end = std::max(bands.back().end, extent.end);
    } else {
      bands.push_back(extent);
    }
  }
  return bands;
}

// The bands of the leading controls, and bands of their own for the other
// controls that overlap none of them.
std::vector<Band> bands_of(const std::vector<Band>& leading, const std::vector<Band>& others) {
  std::vector<Band> bands = merged(leading);
  std::vector<Band> apart;
  for (const Band& other : others) {
    const bool touches = std::any_of(bands.begin(), bands.end(),
                                     [&](const Band& band) { return overlap(band, other) > 0; });
    if (!touches) apart.push_back(other);
  }
  for (const Band& band : merged(apart)) bands.push_back(band);
  std::sort(bands.begin(), bands.end(),
            [](const Band& a, const Band& b) { return a.begin < b.begin; });
  return bands;
}

Band across(const ControlTemplate& c) { return {c.x, c.x + std::max(1, c.width)}; }
Band down(const ControlTemplate& c) { return {c.y, c.y + std::max(1, c.height)}; }

bool is_button(const ControlTemplate& c) {
  return c.kind == ControlKind::kPushButton || c.kind == ControlKind::kDefPushButton;
}

}  // namespace

TemplateGrid template_grid(const DialogTemplate& dialog) {
  std::vector<Band> column_leading, column_others, row_leading, row_others;
  for (const ControlTemplate& c : dialog.controls) {
    (c.kind == ControlKind::kStaticText ? column_others : column_leading).push_back(across(c));
    (is_button(c) ? row_others : row_leading).push_back(down(c));
  }
  const std::vector<Band> columns = bands_of(column_leading, column_others);
  const std::vector<Band> rows = bands_of(row_leading, row_others);

  TemplateGrid grid;
  grid.rows = static_cast<int>(rows.size());
  grid.columns = static_cast<int>(columns.size());
  for (const ControlTemplate& c : dialog.controls) {
    GridCell cell;
    int first = -1, last = -1, most = 0;
    for (int k = 0; k < grid.columns; ++k) {
      if (overlap(columns[static_cast<size_t>(k)], across(c)) == 0) continue;
      if (first < 0) first = k;
      last = k;
    }
    cell.column = std::max(0, first);
    cell.column_span = std::max(1, last - first + 1);
    for (int k = 0; k < grid.rows; ++k) {
      const int shared = overlap(rows[static_cast<size_t>(k)], down(c));
      if (shared > most) {
        most = shared;
        cell.row = k;
      }
    }
    grid.cells.push_back(cell);
  }
  return grid;
}

}  // namespace platform
