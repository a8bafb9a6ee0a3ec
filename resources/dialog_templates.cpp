#include "resources/dialog_templates.h"

namespace resources {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::DialogTemplate;
using platform::MenuTemplate;
using namespace platform;  // style bits

constexpr unsigned kListStyle = kStyleBorder | kStyleVScroll | kStyleHScroll | kStyleTabStop |
                                kStyleNotify | kStyleNoIntegralHeight;
constexpr unsigned kEditStyle = kStyleBorder | kStyleTabStop | kStyleAutoHScroll;
constexpr unsigned kLabelStyle = kStyleLeft | kStyleGroup;
constexpr unsigned kContextStyle = kStyleLeft | kStyleNoPrefix;
constexpr unsigned kDialogFrame = kFrameModal | kFramePopup | kFrameCaption | kFrameSystemMenu;
const char kFont[] = "MS Sans Serif";

const DialogTemplate kResultSelection = {
    kDialogResultSelection,
    "Plinth",
    190,
    158,
    kFont,
    8,
    kDialogFrame,
    kMenuWizard,
    {{kIdResultList, ControlKind::kListBox, "", 7, 7, 118, 144, kListStyle},
     {kIdNext, ControlKind::kDefPushButton, "Next >>", 133, 7, 50, 14, kStyleTabStop},
     {platform::kIdCancel, ControlKind::kPushButton, "Cancel", 133, 24, 50, 14, kStyleTabStop},
     {kIdBack, ControlKind::kPushButton, "<< Back", 133, 41, 50, 14, kStyleTabStop}}};

const DialogTemplate kMatchConfirmation = {
    kDialogMatchConfirmation,
    PLINTH_MAKER_HOST,
    308,
    158,
    kFont,
    8,
    kFramePopup | kFrameCaption | kFrameSystemMenu | kFrameSizingBorder | kFrameMaximizeBox,
    kMenuWizard,
    {{kIdForceMatch, ControlKind::kPushButton, "Force Match", 7, 7, 50, 14, kStyleTabStop},
     {platform::kIdCancel, ControlKind::kPushButton, "Cancel", 111, 7, 50, 14, kStyleTabStop},
     {kIdBack, ControlKind::kPushButton, "<< Back", 163, 7, 45, 14, kStyleTabStop},
     {kIdNext, ControlKind::kDefPushButton, "Finish!", 211, 7, 50, 14, kStyleTabStop},
     {kIdReleaseLabel, ControlKind::kStaticText, "Release", 9, 29, 80, 10, kLabelStyle},
     {kIdOriginalLabel, ControlKind::kStaticText, "Original", 111, 29, 80, 9, kLabelStyle},
     {kIdMatchesLabel, ControlKind::kStaticText, "Matches", 214, 29, 73, 8, kLabelStyle},
     {kIdReleaseList, ControlKind::kListBox, "", 7, 41, 84, 96, kListStyle},
     {kIdOriginalList, ControlKind::kListBox, "", 111, 42, 84, 96, kListStyle},
     {kIdMatchesList, ControlKind::kListBox, "", 211, 41, 84, 96, kListStyle | kStyleNoSelection},
     {kIdContextLine, ControlKind::kStaticText, "", 7, 143, 288, 9, kContextStyle}}};

const DialogTemplate kSearchTerm = {
    kDialogSearchTerm,
    "Dialog",
    188,
    192,
    kFont,
    8,
    kDialogFrame,
    kMenuWizard,
    {{kIdNext, ControlKind::kDefPushButton, "Next >>", 131, 7, 50, 14, kStyleTabStop},
     {platform::kIdCancel, ControlKind::kPushButton, "Cancel", 131, 24, 50, 14, kStyleTabStop},
     {kIdCandidateList, ControlKind::kListBox, "", 7, 7, 118, 144,
      kStyleBorder | kStyleVScroll | kStyleTabStop | kStyleNotify},
     {kIdTermField, ControlKind::kEdit, "", 7, 157, 118, 15, kStyleBorder | kStyleAutoHScroll},
     {kIdManualSearch, ControlKind::kPushButton, "Manual Search", 129, 157, 52, 16, kStyleTabStop},
     {kIdContextLine, ControlKind::kStaticText, "", 7, 178, 174, 9, kContextStyle}}};

const DialogTemplate kNameConfiguration = {
    kDialogNameConfiguration,
    "Output Name Configuration",
    245,
    57,
    kFont,
    8,
    kDialogFrame,
    0,
    {{kNoControlId, ControlKind::kStaticText, "Output Directory Format", 9, 10, 76, 8, kLabelStyle},
     {kNoControlId, ControlKind::kStaticText, "Output Playlist Format", 9, 23, 69, 8, kLabelStyle},
     {kNoControlId, ControlKind::kStaticText, "Output Track Format", 9, 38, 66, 8, kLabelStyle},
     {kIdDirectoryFormat, ControlKind::kEdit, "", 88, 7, 94, 12, kEditStyle},
     {kIdPlaylistFormat, ControlKind::kEdit, "", 88, 22, 93, 12, kEditStyle},
     {kIdTrackFormat, ControlKind::kEdit, "", 88, 37, 93, 13, kEditStyle},
     {kIdNext, ControlKind::kDefPushButton, "OK", 188, 7, 50, 14, kStyleTabStop},
     {platform::kIdCancel, ControlKind::kPushButton, "Cancel", 188, 22, 50, 14, kStyleTabStop},
     {kIdNamesHelp, ControlKind::kPushButton, "Help", 188, 36, 50, 14, kStyleTabStop}}};

// The personal access token that makes lookups go through the database's API.
const DialogTemplate kDatabaseToken = {
    kDialogDatabaseToken,
    "Database Token",
    245,
    44,
    kFont,
    8,
    kDialogFrame,
    0,
    {{kNoControlId, ControlKind::kStaticText, "Database Token", 9, 10, 76, 8, kLabelStyle},
     {kIdTokenField, ControlKind::kEdit, "", 88, 7, 94, 12, kEditStyle | kStylePassword},
     {kIdContextLine, ControlKind::kStaticText, "", 88, 23, 94, 16, kContextStyle},
     {kIdNext, ControlKind::kDefPushButton, "OK", 188, 7, 50, 14, kStyleTabStop},
     {platform::kIdCancel, ControlKind::kPushButton, "Cancel", 188, 22, 50, 14, kStyleTabStop}}};

const MenuTemplate kWizardMenu = {
    kMenuWizard,
    {{"Help",
      {{"Directory?", kCmdDirectory}, {"About", kCmdAbout}, {"Online Help", kCmdOnlineHelp}}},
     {"Settings",
      {{"Filenames", kCmdFilenames},
       {"Toggel M3U", kCmdToggleM3u},
       {"Save Settings", kCmdSaveSettings},
       {"Database Token...", kCmdDatabaseToken}}}}};

}  // namespace

const DialogTemplate* find_dialog(int id) {
  for (const DialogTemplate* t : {&kResultSelection, &kMatchConfirmation, &kSearchTerm,
                                  &kNameConfiguration, &kDatabaseToken}) {
    if (t->id == id) return t;
  }
  return nullptr;
}

const MenuTemplate* find_menu(int id) { return id == kWizardMenu.id ? &kWizardMenu : nullptr; }

}  // namespace resources

int dialog_box_param(int template_id, platform::Window* owner, platform::DialogProc proc,
                     intptr_t param) {
  const platform::DialogTemplate* dialog = resources::find_dialog(template_id);
  if (dialog == nullptr) return -1;
  return platform::run_dialog(*dialog, resources::find_menu(dialog->menu_id), owner, proc, param);
}
