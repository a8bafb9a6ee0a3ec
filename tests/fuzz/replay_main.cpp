// Feeds each file named on the command line to a fuzz target once, without
// libFuzzer, so that a target can run under valgrind. That checks the
// system libraries it calls (TinyXML, TagLib), which the sanitizers of the
// fuzz build cannot see into.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  int unreadable = 0;
  for (int i = 1; i < argc; ++i) {
    std::ifstream file(argv[i], std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "replay: cannot read %s\n", argv[i]);
      ++unreadable;
      continue;
    }
    const std::string input((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
  }
  std::fprintf(stderr, "replay: %d inputs\n", argc - 1 - unreadable);
  return unreadable == 0 ? 0 : 1;
}
