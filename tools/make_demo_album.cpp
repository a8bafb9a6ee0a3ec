// Makes the demo album: a folder of real MP3 files of the bundled
// catalogue's release "Night Ferry", named and tagged the way people's own
// rips are: some fully tagged, some partly, some not at all, names in
// several styles.
//
//   make_demo_album PARENT     creates PARENT/<album folder> and prints its path
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/mp3_maker.h"

using test_support::Id3Frame;
using test_support::Mp3Spec;
using test_support::text_frame;
using test_support::TextEncoding;

namespace {

const char kFolder[] = "Harbour_Lights - Night Ferry [HL_007] - (2005)";

Mp3Spec untagged(unsigned seed) {
  Mp3Spec spec;
  spec.seed = seed;
  return spec;
}

Mp3Spec id3v2(int version, std::vector<Id3Frame> frames, unsigned seed) {
  Mp3Spec spec = untagged(seed);
  spec.id3v2_version = version;
  spec.frames = std::move(frames);
  spec.padding = 256;
  return spec;
}

// Artist, title, album and track, as a ripping program writes them.
Mp3Spec fully_tagged(const std::string& title, int track, unsigned seed) {
  return id3v2(3,
               {text_frame("TPE1", "Harbour Lights", TextEncoding::kLatin1),
                text_frame("TIT2", title, TextEncoding::kLatin1),
                text_frame("TALB", "Night Ferry", TextEncoding::kLatin1),
                text_frame("TRCK", std::to_string(track) + "/12", TextEncoding::kLatin1)},
               seed);
}

Mp3Spec id3v1_only(const std::string& title, unsigned seed) {
  Mp3Spec spec = untagged(seed);
  spec.with_id3v1 = true;
  spec.id3v1.title = title;
  spec.id3v1.artist = "Harbour Lights";
  return spec;
}

struct DemoFile {
  std::string name;
  Mp3Spec spec;
};

std::vector<DemoFile> demo_files() {
  return {
      {"01 - Salt Road.mp3", fully_tagged("Salt Road", 1, 1)},
      {"02 - Night Ferry.mp3", fully_tagged("Night Ferry", 2, 2)},
      {"03 - lanterns over water.mp3", untagged(3)},
      {"04 Harbour Wall.mp3", id3v1_only("Harbour Wall", 4)},
      {"05 The Quiet Deck.mp3",
       id3v2(4, {text_frame("TIT2", "The Quiet Deck", TextEncoding::kUtf8)}, 5)},
      {"06_low_tide_signal.mp3", untagged(6)},
      {"07 gulls at four.mp3",
       id3v2(3, {text_frame("TPE1", "harbour lights", TextEncoding::kUtf16)}, 7)},
      {"08 - Crossing.mp3", fully_tagged("Crossing", 8, 8)},
      {"09 - Paper Boats.mp3", untagged(9)},
      {"10 - Foghorn Lullaby.mp3",
       id3v2(3,
             {text_frame("TIT2", "Foghorn Lullaby", TextEncoding::kLatin1),
              text_frame("TRCK", "10", TextEncoding::kLatin1)},
             10)},
      {"11 pier lights.mp3", untagged(11)},
      {"12 - Morning Landfall.mp3", fully_tagged("Morning Landfall", 12, 12)},
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s PARENT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/" + kFolder;
  if (mkdir(folder.c_str(), 0755) != 0) {
    std::perror(folder.c_str());
    return 1;
  }
  for (const DemoFile& file : demo_files()) test_support::write_mp3(folder + "/" + file.name, file.spec);
  std::printf("%s\n", folder.c_str());
  return 0;
}
