#include "tests/support/mp3_files.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/support/run_checks.h"
#include "tests/support/temp_dir.h"

namespace test_support {

void make_mp3s(const std::vector<Mp3>& files) {
  std::string description;
  for (const Mp3& file : files) {
    description += file.path;
    for (const std::string& field : file.fields) description += "\t" + field;
    description += "\n";
  }
  const std::string script =
      "/usr/bin/python3 " + shell_quoted(PLINTH_SOURCE_DIR "/tools/make_mp3.py");
  FILE* pipe = popen(script.c_str(), "we");
  if (pipe == nullptr) throw std::runtime_error("cannot run make_mp3.py");
  fwrite(description.data(), 1, description.size(), pipe);
  if (pclose(pipe) != 0) throw std::runtime_error("make_mp3.py failed (its error is above)");
}

std::string untagged_mp3(unsigned seed) {
  // MPEG-1 Layer III, 128 kbit/s, 44100 Hz: 417 bytes a frame. With the
  // side information all zero the frame is silence and the rest ancillary.
  std::string frame(417, '\0');
  frame.replace(0, 4, "\xFF\xFB\x90\x40");
  std::string out;
  for (unsigned i = 0; i < 38; ++i) {
    frame[40] = static_cast<char>(seed);
    frame[41] = static_cast<char>(i);
    out += frame;
  }
  return out;
}

std::string raw_id3v23(const std::vector<std::pair<std::string, std::string>>& frames) {
  const auto bytes = [](size_t value, int shift) {
    std::string out;
    for (int k = 3; k >= 0; --k)
      out += static_cast<char>((value >> (shift * k)) & ((1 << shift) - 1));
    return out;
  };
  std::string body;
  for (const auto& [id, data] : frames)
    body += id + bytes(data.size(), 8) + std::string(2, '\0') + data;
  return std::string("ID3\x03\0\0", 6) + bytes(body.size(), 7) + body;
}

std::string make_demo_album(const std::string& parent) {
  int status = -1;
  std::string folder = run_command("/usr/bin/python3 " +
                                       shell_quoted(PLINTH_SOURCE_DIR "/tools/make_demo_album.py") +
                                       " " + shell_quoted(parent),
                                   &status);
  if (status != 0 || folder.empty()) throw std::runtime_error("make_demo_album.py failed");
  folder.pop_back();  // the line feed
  return folder;
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) throw std::runtime_error("cannot write " + path);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

std::string audio_bytes(const std::string& file) {
  size_t begin = 0;
  if (file.size() >= 10 && file.compare(0, 3, "ID3") == 0) {
    uint32_t size = 0;
    for (size_t k = 6; k < 10; ++k)
      size = (size << 7) | (static_cast<unsigned char>(file[k]) & 0x7F);
    const bool footer = (static_cast<unsigned char>(file[5]) & 0x10) != 0;
    begin = 10 + size + (footer ? 10 : 0);
  }
  // Some writers leave zero padding after the tag's declared end; it is
  // not audio either.
  while (begin < file.size() && file[begin] == '\0') ++begin;
  size_t end = file.size();
  if (end >= begin + 128 && file.compare(end - 128, 3, "TAG") == 0) end -= 128;
  return begin <= end ? file.substr(begin, end - begin) : std::string();
}

}  // namespace test_support
