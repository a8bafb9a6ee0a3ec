#pragma once
// Looking up what the program takes from a library it loads itself.
#include <dlfcn.h>

namespace platform {

// Sets the pointer to the library's symbol of that name; false (and null)
// when the library lacks it.
template <typename Pointer>
bool resolve_symbol(void* library, const char* name, Pointer& pointer) {
  pointer = reinterpret_cast<Pointer>(::dlsym(library, name));
  return pointer != nullptr;
}

}  // namespace platform
