#include "resources/templates.h"

#include <gtest/gtest.h>

#include <set>

using platform::ControlKind;
using platform::ControlTemplate;
using platform::DialogTemplate;

namespace {

const int kTemplates[] = {kDialogResultSelection, kDialogMatchConfirmation, kDialogSearchTerm,
                          kDialogNameConfiguration};

const ControlTemplate* find_control(const DialogTemplate& dialog, int id) {
  for (const ControlTemplate& c : dialog.controls) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

}  // namespace

TEST(Templates, EveryControlLiesInsideItsPageAndIdsAreUnique) {
  for (int id : kTemplates) {
    const DialogTemplate* dialog = resources::find_dialog(id);
    ASSERT_NE(dialog, nullptr) << id;
    std::set<int> ids;
    int defaults = 0;
    for (const ControlTemplate& c : dialog->controls) {
      EXPECT_LE(c.x + c.width, dialog->width) << id << " " << c.text;
      EXPECT_LE(c.y + c.height, dialog->height) << id << " " << c.text;
      if (c.id != platform::kNoControlId) {
        EXPECT_TRUE(ids.insert(c.id).second) << c.id;
      }
      if (c.kind == ControlKind::kDefPushButton) ++defaults;
    }
    EXPECT_EQ(defaults, 1) << id;
  }
  EXPECT_EQ(resources::find_dialog(105), nullptr);
}

TEST(Templates, WizardPagesCarryTheMenuAndOnlyTheMatchPageResizes) {
  for (int id : {kDialogResultSelection, kDialogMatchConfirmation, kDialogSearchTerm}) {
    EXPECT_EQ(resources::find_dialog(id)->menu_id, kMenuWizard);
  }
  EXPECT_EQ(resources::find_dialog(kDialogNameConfiguration)->menu_id, 0);
  EXPECT_TRUE(resources::find_dialog(kDialogMatchConfirmation)->resizable());
  EXPECT_FALSE(resources::find_dialog(kDialogSearchTerm)->resizable());
  EXPECT_EQ(resources::find_dialog(kDialogNameConfiguration)->caption,
            "Output Name Configuration");
}

TEST(Templates, MatchesListCannotSelect) {
  const DialogTemplate& match = *resources::find_dialog(kDialogMatchConfirmation);
  EXPECT_NE(find_control(match, kIdMatchesList)->style & platform::kStyleNoSelection, 0u);
  EXPECT_EQ(find_control(match, kIdOriginalList)->style & platform::kStyleNoSelection, 0u);
  EXPECT_EQ(find_control(match, kIdNext)->text, "Finish!");
}

TEST(Templates, MenuHoldsTheSevenCommandsInOrder) {
  const platform::MenuTemplate* menu = resources::find_menu(kMenuWizard);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->popups.size(), 2u);
  EXPECT_EQ(menu->popups[0].title, "Help");
  EXPECT_EQ(menu->popups[1].title, "Settings");
  std::vector<int> commands;
  for (const auto& popup : menu->popups)
    for (const auto& item : popup.items) commands.push_back(item.command);
  EXPECT_EQ(commands, (std::vector<int>{40003, 40001, 40002, 40004, 40005, 40006, 40007}));
  EXPECT_EQ(menu->popups[1].items[1].text, "Toggel M3U");
}
