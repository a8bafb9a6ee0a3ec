#include "platform/http/curl_library.h"

#include <dlfcn.h>

#include "platform/library_symbol.h"
#include "platform/trace.h"

namespace platform {
namespace {

// Debian's libcurl on GnuTLS first: the OpenSSL build loads GnuTLS all the
// same (for LDAP and RTMP) and initialises OpenSSL besides, which costs
// about half a megabyte more of the program's memory. Both verify
// certificates against the system's store.
constexpr const char* kSonames[] = {"libcurl-gnutls.so.4", "libcurl.so.4"};

// libssh2's LIBSSH2_INIT_NO_CRYPTO.
constexpr int kSshInitNoCrypto = 0x0001;

// libcurl's global init starts libssh2, whose first init sets up all of
// OpenSSL's ciphers and digests: 1.5 MB of the program's memory and half a
// millisecond, for SSH transfers this program never asks for (its
// transfers are HTTP and HTTPS only). Only libssh2's first init touches its
// crypto library, so one without crypto before libcurl's leaves OpenSSL
// alone; OpenSSL would set itself up on its first use all the same.
void leave_ssh_crypto_alone() {
  void* ssh = ::dlopen("libssh2.so.1", RTLD_NOW | RTLD_NOLOAD);
  int (*ssh_init)(int flags) = nullptr;
  if (ssh != nullptr && resolve_symbol(ssh, "libssh2_init", ssh_init)) ssh_init(kSshInitNoCrypto);
}

bool resolve_all(void* handle, CurlLibrary& curl) {
  return resolve_symbol(handle, "curl_global_init", curl.global_init) &&
         resolve_symbol(handle, "curl_easy_init", curl.easy_init) &&
         resolve_symbol(handle, "curl_easy_setopt", curl.easy_setopt) &&
         resolve_symbol(handle, "curl_easy_perform", curl.easy_perform) &&
         resolve_symbol(handle, "curl_easy_getinfo", curl.easy_getinfo) &&
         resolve_symbol(handle, "curl_easy_cleanup", curl.easy_cleanup) &&
         resolve_symbol(handle, "curl_easy_reset", curl.easy_reset) &&
         resolve_symbol(handle, "curl_slist_append", curl.slist_append) &&
         resolve_symbol(handle, "curl_slist_free_all", curl.slist_free_all) &&
         resolve_symbol(handle, "curl_easy_strerror", curl.easy_strerror);
}

// Never unloaded: libcurl may keep threads and TLS state until the end.
const CurlLibrary* load() {
  static CurlLibrary curl;
  const char* soname = nullptr;
  void* handle = nullptr;
  for (const char* candidate : kSonames) {
    soname = candidate;
    handle = ::dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (handle != nullptr) break;
  }
  if (handle == nullptr) {
    const char* reason = ::dlerror();
    trace("could not load %s: %s\n", soname, reason != nullptr ? reason : "unknown error");
    return nullptr;
  }
  if (!resolve_all(handle, curl)) {
    trace("%s lacks a function this program needs\n", soname);
    return nullptr;
  }
  leave_ssh_crypto_alone();
  if (curl.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
    trace("%s could not be initialised\n", soname);
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
