#include "platform/curl_library.h"

#include <dlfcn.h>

#include "platform/trace.h"

namespace platform {
namespace {

// The soname that every libcurl 7 and 8 build carries.
constexpr char kSoname[] = "libcurl.so.4";

template <typename Function>
bool resolve(void* handle, const char* name, Function& function) {
  function = reinterpret_cast<Function>(::dlsym(handle, name));
  return function != nullptr;
}

bool resolve_all(void* handle, CurlLibrary& curl) {
  return resolve(handle, "curl_global_init", curl.global_init) &&
         resolve(handle, "curl_easy_init", curl.easy_init) &&
         resolve(handle, "curl_easy_setopt", curl.easy_setopt) &&
         resolve(handle, "curl_easy_perform", curl.easy_perform) &&
         resolve(handle, "curl_easy_getinfo", curl.easy_getinfo) &&
         resolve(handle, "curl_easy_cleanup", curl.easy_cleanup) &&
         resolve(handle, "curl_slist_append", curl.slist_append) &&
         resolve(handle, "curl_slist_free_all", curl.slist_free_all);
}

// Never unloaded: libcurl may keep threads and TLS state until the end.
const CurlLibrary* load() {
  static CurlLibrary curl;
  void* handle = ::dlopen(kSoname, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = ::dlerror();
    trace("could not load %s: %s\n", kSoname, reason != nullptr ? reason : "unknown error");
    return nullptr;
  }
  if (!resolve_all(handle, curl)) {
    trace("%s lacks a function this program needs\n", kSoname);
    return nullptr;
  }
  if (curl.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
    trace("%s could not be initialised\n", kSoname);
    return nullptr;
  }
  return &curl;
}

}  // namespace

const CurlLibrary* curl_library() {
  static const CurlLibrary* const library = load();
  return library;
}

}  // namespace platform
