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
// Rewrites the file named in the registry from the globals above.
void write_settings();
