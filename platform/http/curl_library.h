#pragma once
// libcurl, loaded the first time the program goes online. Its dependencies
// (TLS, Kerberos, LDAP and more) take longer to map and relocate than the
// rest of the program together, and a run that ends before its first
// request (a cancelled first page, a folder without MP3 files) never needs
// them.
#include <curl/curl.h>

namespace platform {

struct CurlLibrary {
  CURLcode (*global_init)(long flags);
  CURL* (*easy_init)();
  CURLcode (*easy_setopt)(CURL* handle, CURLoption option, ...);
  CURLcode (*easy_perform)(CURL* handle);
  CURLcode (*easy_getinfo)(CURL* handle, CURLINFO info, ...);
  void (*easy_cleanup)(CURL* handle);
  void (*easy_reset)(CURL* handle);
  curl_slist* (*slist_append)(curl_slist* list, const char* text);
  void (*slist_free_all)(curl_slist* list);
  const char* (*easy_strerror)(CURLcode code);
};

// The loaded and initialised library, or null when it cannot be loaded
// (the reason has then been traced once).
const CurlLibrary* curl_library();

}  // namespace platform
