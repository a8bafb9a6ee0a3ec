// Makes the demo album: a folder of real MP3 files of the bundled
// catalogue's release "Night Ferry", named and tagged the way people's own
// rips are (see tests/support/demo_album.h).
//
//   make_demo_album PARENT     creates PARENT/<album folder> and prints its path
#include <cstdio>
#include <stdexcept>
#include <string>

#include "tests/support/demo_album.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s PARENT_FOLDER\n", argv[0]);
    return 2;
  }
  try {
    std::printf("%s\n", test_support::make_demo_album(argv[1]).c_str());
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
