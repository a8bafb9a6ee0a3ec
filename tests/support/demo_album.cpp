#include "tests/support/demo_album.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "tests/support/mp3_maker.h"

namespace test_support {
namespace {

Mp3Recipe untagged(unsigned seed) {
  Mp3Recipe recipe;
  recipe.seed = seed;
  return recipe;
}

Mp3Recipe id3v2(int version, std::vector<Id3Frame> frames, unsigned seed) {
  Mp3Recipe recipe = untagged(seed);
  recipe.id3v2_version = version;
  recipe.frames = std::move(frames);
  recipe.padding = 256;
  return recipe;
}

// Artist, title, album and track, as a ripping program writes them.
Mp3Recipe fully_tagged(const std::string& title, int track, unsigned seed) {
  return id3v2(3,
               {text_frame("TPE1", "Harbour Lights", TextEncoding::kLatin1),
                text_frame("TIT2", title, TextEncoding::kLatin1),
                text_frame("TALB", "Night Ferry", TextEncoding::kLatin1),
                text_frame("TRCK", std::to_string(track) + "/12", TextEncoding::kLatin1)},
               seed);
}

Mp3Recipe id3v1_only(const std::string& title, unsigned seed) {
  Mp3Recipe recipe = untagged(seed);
  recipe.with_id3v1 = true;
  recipe.id3v1.title = title;
  recipe.id3v1.artist = "Harbour Lights";
  return recipe;
}

struct DemoFile {
  std::string name;
  Mp3Recipe recipe;
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

const char kDemoAlbumFolder[] = "Harbour_Lights - Night Ferry [HL_007] - (2005)";
const char kTaggedDemoFolder[] = "[HL 007] Harbour Lights - Night Ferry";
const char kTaggedDemoPlaylist[] = "Harbour Lights - Night Ferry [HL 007].m3u";

std::vector<std::string> demo_album_files() {
  std::vector<std::string> names;
  for (const DemoFile& file : demo_files()) names.push_back(file.name);
  return names;
}

std::string make_demo_album(const std::string& parent) {
  const std::string folder = parent + "/" + kDemoAlbumFolder;
  if (mkdir(folder.c_str(), 0755) != 0)
    throw std::runtime_error(folder + ": " + std::strerror(errno));
  for (const DemoFile& file : demo_files()) write_mp3(folder + "/" + file.name, file.recipe);
  return folder;
}

std::vector<std::string> tagged_demo_files() {
  const char* titles[] = {"Salt Road",       "Night Ferry",    "Lanterns Over Water",
                          "Harbour Wall",    "The Quiet Deck", "Low Tide Signal",
                          "Gulls At Four",   "Crossing",       "Paper Boats",
                          "Foghorn Lullaby", "Pier Lights",    "Morning Landfall"};
  std::vector<std::string> names;
  int number = 0;
  for (const char* title : titles) {
    ++number;
    const std::string track = (number < 10 ? "0" : "") + std::to_string(number);
    names.push_back(track + " - Harbour Lights - " + title + ".mp3");
  }
  return names;
}

}  // namespace test_support
