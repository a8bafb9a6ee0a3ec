// Writes the tag reader's seed files into the folder given: small MP3 files
// with each kind of tag the test helper makes. The seeds in
// seeds/local_tags/ were made by it:
//   g++ -std=c++17 -I. tests/fuzz/make_mp3_seeds.cpp tests/support/mp3_maker.cpp -lz \
//     -o /tmp/make_mp3_seeds && /tmp/make_mp3_seeds tests/fuzz/seeds/local_tags
#include <string>

#include "tests/support/mp3_maker.h"

using namespace test_support;

namespace {

std::vector<Id3Frame> five_fields(TextEncoding encoding, bool v22) {
  return {text_frame(v22 ? "TP1" : "TPE1", "Årtist", encoding),
          text_frame(v22 ? "TT2" : "TIT2", "Title", encoding),
          text_frame(v22 ? "TAL" : "TALB", "Album", encoding),
          text_frame(v22 ? "TRK" : "TRCK", "3/12", encoding),
          text_frame(v22 ? "TYE" : (encoding == TextEncoding::kUtf8 ? "TDRC" : "TYER"), "1999",
                     encoding)};
}

Mp3Recipe small(int version) {
  Mp3Recipe recipe;
  recipe.id3v2_version = version;
  recipe.audio_bytes = 1500;
  return recipe;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string folder = argv[1];

  Mp3Recipe v22 = small(2);
  v22.frames = five_fields(TextEncoding::kLatin1, true);
  write_mp3(folder + "/v22.mp3", v22);

  Mp3Recipe v23 = small(3);
  v23.frames = five_fields(TextEncoding::kUtf16, false);
  v23.frames.push_back(comment_frame("comment"));
  v23.frames.push_back(picture_frame("image/jpeg", std::string(64, '\xff')));
  v23.padding = 32;
  write_mp3(folder + "/v23_utf16.mp3", v23);

  Mp3Recipe compressed = small(3);
  compressed.frames = five_fields(TextEncoding::kLatin1, false);
  for (Id3Frame& frame : compressed.frames) frame.compressed = true;
  write_mp3(folder + "/v23_compressed.mp3", compressed);

  Mp3Recipe v24 = small(4);
  v24.frames = five_fields(TextEncoding::kUtf8, false);
  v24.frames.push_back(user_text_frame("DESCRIPTION", "value"));
  write_mp3(folder + "/v24_utf8.mp3", v24);

  Mp3Recipe v1 = small(0);
  v1.with_id3v1 = true;
  v1.id3v1 = {"Title", "Artist", "Album", "1999", "comment", 7, 17};
  write_mp3(folder + "/v1.mp3", v1);

  Mp3Recipe both = small(3);
  both.frames = {text_frame("TIT2", "Only the title", TextEncoding::kUtf16BE)};
  both.with_id3v1 = true;
  both.id3v1 = {"T", "Artist", "Album", "2001", "", 0, 255};
  write_mp3(folder + "/v23_and_v1.mp3", both);
  return 0;
}
