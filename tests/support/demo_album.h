#pragma once
// The demo album: twelve real MP3 files of the bundled catalogue's release
// "Night Ferry" (Harbour Lights, release 100101), named and tagged the way
// people's own rips are: some fully tagged, some partly, some not at all,
// names in several styles. The demo's maker and the whole-run tests share it.
#include <string>
#include <vector>

namespace test_support {

// "Harbour_Lights - Night Ferry [HL_007] - (2005)"
extern const char kDemoAlbumFolder[];

// The files' names as the album is made, in folder order.
std::vector<std::string> demo_album_files();

// Creates PARENT/kDemoAlbumFolder with the files and returns its path.
// Throws std::runtime_error when the folder exists or cannot be made.
std::string make_demo_album(const std::string& parent);

// The names the files, the playlist and the folder get when the album is
// tagged with the default name templates.
extern const char kTaggedDemoFolder[];  // "[HL 007] Harbour Lights - Night Ferry"
extern const char kTaggedDemoPlaylist[];
std::vector<std::string> tagged_demo_files();  // "01 - Harbour Lights - Salt Road.mp3", ...

}  // namespace test_support
