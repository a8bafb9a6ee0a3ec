// The grid the desktop front end lays a page out in, read from the
// template's own placement.
#include "platform/qt/template_grid.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "resources/dialog_templates.h"

namespace qt_tests {
namespace {

using ::testing::FieldsAre;

// Where the control of that id stands: row, column, columns it spans.
platform::GridCell cell_of(int template_id, int id) {
  const platform::DialogTemplate& dialog = *resources::find_dialog(template_id);
  const platform::TemplateGrid grid = platform::template_grid(dialog);
  for (size_t i = 0; i < dialog.controls.size(); ++i) {
    if (dialog.controls[i].id == id) return grid.cells[i];
  }
  ADD_FAILURE() << "no control " << id;
  return {};
}

TEST(TemplateGrid, ControlsSideBySideShareARowAndOneAboveTheOtherAColumn) {
  const struct {
    const char* name;
    int page, id, row, column, span;
  } cases[] = {
      // Buttons in a row above three labelled lists, the release line under all three.
      {"force match", kDialogMatchConfirmation, kIdForceMatch, 0, 0, 1},
      {"finish", kDialogMatchConfirmation, kIdNext, 0, 2, 1},
      {"original label", kDialogMatchConfirmation, kIdOriginalLabel, 1, 1, 1},
      {"release list", kDialogMatchConfirmation, kIdReleaseList, 2, 0, 1},
      {"matches list", kDialogMatchConfirmation, kIdMatchesList, 2, 2, 1},
      {"release line", kDialogMatchConfirmation, kIdContextLine, 3, 0, 3},
      // The list with Next and Cancel stacked beside it, the field with its
      // button under them, the folder line under both.
      {"candidates", kDialogSearchTerm, kIdCandidateList, 0, 0, 1},
      {"cancel", kDialogSearchTerm, platform::kIdCancel, 0, 1, 1},
      {"manual search", kDialogSearchTerm, kIdManualSearch, 1, 1, 1},
      {"folder line", kDialogSearchTerm, kIdContextLine, 2, 0, 2},
      // Each field beside its label, a button beside each field.
      {"track field", kDialogNameConfiguration, kIdTrackFormat, 2, 1, 1},
      {"help button", kDialogNameConfiguration, kIdNamesHelp, 2, 2, 1},
  };
  for (const auto& c : cases) {
    EXPECT_THAT(cell_of(c.page, c.id), FieldsAre(c.row, c.column, c.span)) << c.name;
  }
}

}  // namespace
}  // namespace qt_tests
