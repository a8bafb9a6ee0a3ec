#include "app/settings.h"

#include <tinyxml.h>

#include <cstdint>
#include <cstdio>
#include <fstream>

#include "common/error_box.h"
#include "common/registry_string.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/safe_write.h"
#include "platform/trace.h"

std::string g_dirf;
std::string g_m3uf;
std::string g_tf;
bool g_m3u = true;

namespace {

// The file is UTF-8 on disk; the program holds Windows-1252. Templates
// become file names, so they take the reversible name form.
void read_template(const TiXmlElement& settings, const char* name, std::string& target) {
  if (const char* text = settings.Attribute(name)) target = platform::name_from_fs(text);
}

// Written escaped, so that a template holding one of these characters reads
// back as it was written (the parser decodes them).
std::string xml_attribute_text(const std::string& text) {
  std::string out;
  for (char c : platform::to_utf8(text)) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

bool load_settings(const std::string& path) {
  TiXmlDocument document(platform::fs_name(path));
  if (!document.LoadFile()) {
    platform::trace("Could not load test file. Error='%s'. Exiting.\n", document.ErrorDesc());
    error_box("871");
    return false;
  }
  const TiXmlNode* node = document.FirstChild("Settings");
  if (node == nullptr) {
    platform::trace("Could not find the settings node\n");
    error_box("880");
    return false;
  }
  const TiXmlElement* settings = node->ToElement();
  if (settings == nullptr) {
    platform::trace("Could not find the settings element\n");
    error_box("886");
    return false;
  }
  if (const char* m3u = settings->Attribute("m3u")) g_m3u = m3u[0] == 't';
  read_template(*settings, "g_dirf", g_dirf);
  read_template(*settings, "g_m3uf", g_m3uf);
  read_template(*settings, "g_tf", g_tf);
  return true;
}

void write_settings() {
  char path[kRegistryBufferSize];
  if (read_registry_string(kLocalMachine, kSettingsKey, kSettingsValue, path) == 0) {
    error_box("Could not read settings location from registry");
    return;
  }
  const std::string content =
      std::string("<?xml version=\"1.0\"?>\n") + "<Settings m3u=\"" + (g_m3u ? 't' : 'f') +
      "\" nfo=\"f\" g_dirf=\"" + xml_attribute_text(g_dirf) + "\" g_m3uf=\"" +
      xml_attribute_text(g_m3uf) + "\" g_tf=\"" + xml_attribute_text(g_tf) + "\" />\n";
  // Written beside and renamed over, so a full disk or a crash never leaves
  // the user's settings cut short.
  std::ifstream old(platform::fs_name(path), std::ios::binary | std::ios::ate);
  if (old) {
    const auto size = static_cast<uint64_t>(old.tellg());
    old.close();
    platform::rewrite_file(path, size, {platform::FilePiece::bytes(content)});
  } else {
    platform::create_file_whole(path, content);
  }
}
