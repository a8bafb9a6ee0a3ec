#pragma once
// The user's settings for the run: three name templates and the playlist
// switch. Loaded and saved by app/settings/settings_file.h; read wherever names are made.
#include <string>

extern std::string g_dirf;  // output folder name template
extern std::string g_m3uf;  // playlist name template
extern std::string g_tf;    // track file name template
extern bool g_m3u;          // write a playlist on "Finish!"

// The settings of a new process: the templates of
// resources/default-settings.xml (the one copy of them), the playlist on.
void set_default_settings();
