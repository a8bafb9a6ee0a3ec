// One GET through the program's own HTTP layer, and nothing else: what the
// C++ runtime, libcurl and the libraries it loads take once plinth has gone
// online. bench/run's floor row under plinth's peak memory.
#include <cstdio>

#include "platform/http/http.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: curl_floor URL\n");
    return 2;
  }
  platform::HttpReply reply;
  const auto discard = [](const char*, size_t) { return true; };
  return platform::http_get(argv[1], "curl_floor", discard, reply) && reply.complete ? 0 : 1;
}
