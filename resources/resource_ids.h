#pragma once
// Numbers of the program's dialog templates, menu, controls and commands.
#include "platform/dialogs/dialog.h"

// Templates and the menu.
constexpr int kDialogResultSelection = 101;  // search results and releases share it
constexpr int kDialogMatchConfirmation = 102;
constexpr int kMenuWizard = 103;
constexpr int kDialogSearchTerm = 104;
constexpr int kDialogNameConfiguration = 106;
constexpr int kDialogDatabaseToken = 107;

// The line that says what a page works on: the folder, the release.
constexpr int kIdContextLine = 1010;

// Buttons every page knows.
constexpr int kIdNext = 1;  // "Next >>", "Finish!", "OK": the default button
// "Cancel" is platform::kIdCancel, the command the close box sends too.
constexpr int kIdManualSearch = 3;
constexpr int kIdBack = 4;  // "<< Back" on every page after the first

// Search-term page.
constexpr int kIdCandidateList = 1000;
constexpr int kIdTermField = 1005;

// Search-result and release selection pages.
constexpr int kIdResultList = 1000;

// Match confirmation page.
constexpr int kIdOriginalList = 1001;
constexpr int kIdReleaseList = 1002;
constexpr int kIdMatchesList = 1003;
constexpr int kIdForceMatch = 1004;
constexpr int kIdReleaseLabel = 1006;
constexpr int kIdOriginalLabel = 1007;
constexpr int kIdMatchesLabel = 1008;

// Output name configuration.
constexpr int kIdDirectoryFormat = 1032;
constexpr int kIdPlaylistFormat = 1033;
constexpr int kIdTrackFormat = 1034;
constexpr int kIdNamesHelp = 1036;

// Database token.
constexpr int kIdTokenField = 1040;

// Menu 103.
constexpr int kCmdAbout = 40001;
constexpr int kCmdOnlineHelp = 40002;
constexpr int kCmdDirectory = 40003;
constexpr int kCmdFilenames = 40004;
constexpr int kCmdToggleM3u = 40005;
constexpr int kCmdSaveSettings = 40006;
constexpr int kCmdDatabaseToken = 40007;
