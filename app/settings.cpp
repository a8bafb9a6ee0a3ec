#include "app/settings.h"

std::string g_dirf;
std::string g_m3uf;
std::string g_tf;
bool g_m3u = true;

bool load_settings(const std::string&) { return false; }
void write_settings() {}
