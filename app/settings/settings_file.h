#pragma once
// The user's settings: three name templates and the playlist switch, kept in
// an XML file whose path the registry holds.
#include <string>

#include "model/settings.h"

// Where the registry keeps the settings file's path (under HKEY_LOCAL_MACHINE).
constexpr const char* kSettingsKey = "SOFTWARE\\Varnel\\Plinth";
constexpr const char* kSettingsValue = "Settings";

// Loads the file; true when it was read and its Settings element found.
bool load_settings(const std::string& path);
// Rewrites the user's settings file from the globals above: the one the
// user's registry file names, else one it creates beside that registry file
// and registers there. Files shared by all users are never written. Returns
// what to tell the user: where they were saved, or why not; "" when a box
// has told it already.
std::string write_settings();
