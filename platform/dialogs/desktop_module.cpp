#include "platform/dialogs/desktop_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/files/installed_files.h"

namespace platform {
namespace {

std::vector<std::string> module_paths() {
  const std::string folder = program_folder();
  return {folder + "/plinth-qt.so", folder + "/../" PLINTH_MODULE_DIR "/plinth-qt.so"};
}

}  // namespace

bool display_named() {
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

FrontEnd* load_desktop_front_end(std::string& why) {
  why = "the desktop module plinth-qt.so was not found";
  for (const std::string& path : module_paths()) {
    if (::access(path.c_str(), F_OK) != 0) continue;
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
      const char* error = ::dlerror();
      why = std::string("the desktop module could not be loaded: ") + (error ? error : path);
      return nullptr;
    }
    using Entry = FrontEnd* (*)();
    const auto entry = reinterpret_cast<Entry>(::dlsym(module, "plinth_desktop_front_end"));
    if (entry == nullptr) {
      why = "the desktop module " + path + " has no front end";
      return nullptr;
    }
    FrontEnd* front_end = entry();
    if (front_end == nullptr) why = "the display cannot be opened";
    return front_end;
  }
  return nullptr;
}

}  // namespace platform
