#pragma once
// An independent reader of ID3v2 tags for the tests: mutagen, run by the
// system's python3, sees the frames the way other programs will.
#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <map>
#include <string>

#include "tests/support/mp3_files.h"
#include "tests/support/temp_dir.h"

namespace output_test {

// Frame key -> value, in UTF-8. Text frames: the texts joined by '/'; COMM
// as "COMM:description:lang" and TXXX as "TXXX:description", their text;
// APIC: the picture bytes, beside "APIC:mime", "APIC:type" and
// "APIC:description"; others: mutagen's summary. "version" -> "2.3" etc.
using Frames = std::multimap<std::string, std::string>;

inline std::string from_hex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return out;
}

inline Frames read_frames(const std::string& path) {
  static const char* const kScript = R"PY(
import sys
from mutagen.id3 import ID3
tag = ID3(sys.argv[1], translate=False, load_v1=False)
def out(key, value):
    print(key, value.hex())
out('version', ('2.%d' % tag.version[1]).encode())
for f in tag.values():
    fid = f.FrameID
    if fid == 'APIC':
        out('APIC:mime', f.mime.encode())
        out('APIC:type', str(int(f.type)).encode())
        out('APIC:description', f.desc.encode())
        value = f.data
    elif fid in ('COMM', 'TXXX'):
        fid = f.HashKey
        value = '/'.join(f.text).encode()
    elif hasattr(f, 'text'):
        value = '/'.join(str(t) for t in f.text).encode()
    else:
        value = f.pprint().encode()
    out(fid, value)
)PY";
  test_support::TempDir scratch;
  test_support::write_file(scratch.file("read.py"), kScript);
  const char* python = std::getenv("PLINTH_TEST_PYTHON");
  const std::string command = std::string(python != nullptr ? python : "/usr/bin/python3") + " '" +
                              scratch.file("read.py") + "' '" + path + "' 2>&1";
  int status = -1;
  const std::string output = test_support::run_command(command, &status);
  Frames frames;
  if (status != 0) {
    frames.emplace("error", output);
    return frames;
  }
  size_t start = 0;
  while (start < output.size()) {
    size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    const std::string line = output.substr(start, end - start);
    const size_t blank = line.find(' ');
    if (blank != std::string::npos)
      frames.emplace(line.substr(0, blank), from_hex(line.substr(blank + 1)));
    start = end + 1;
  }
  return frames;
}

// The one value of a frame id, or "<missing>" / "<n frames>".
inline std::string one(const Frames& frames, const std::string& id) {
  const size_t n = frames.count(id);
  if (n == 0) return "<missing>";
  if (n > 1) return "<" + std::to_string(n) + " frames>";
  return frames.find(id)->second;
}

// Each frame has the value given, as one() gives it: "key=value", as the
// fields of tools/make_mp3.py are written.
inline void expect_frames(const Frames& frames, std::initializer_list<std::string> expected) {
  for (const std::string& field : expected) {
    const size_t is = field.find('=');
    EXPECT_EQ(one(frames, field.substr(0, is)), field.substr(is + 1)) << field.substr(0, is);
  }
}

}  // namespace output_test
