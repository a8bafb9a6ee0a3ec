#include "model/settings.h"

std::string g_dirf;
std::string g_m3uf;
std::string g_tf;
bool g_m3u = true;

void set_default_settings() {
  g_dirf = PLINTH_DEFAULT_DIRF;
  g_m3uf = PLINTH_DEFAULT_M3UF;
  g_tf = PLINTH_DEFAULT_TF;
  g_m3u = true;
}
