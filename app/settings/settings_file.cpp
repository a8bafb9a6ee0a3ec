#include "app/settings/settings_file.h"

#include <tinyxml.h>

#include <cstdint>
#include <cstdio>

#include "app/error_box.h"
#include "app/settings/registry_string.h"
#include "platform/codepage.h"
#include "platform/files/file_read.h"
#include "platform/files/moves.h"
#include "platform/files/safe_write.h"
#include "platform/registry/registry.h"
#include "platform/registry/user_registry.h"
#include "platform/trace.h"

namespace {

// TinyXML steps over a multi-byte character by its first byte alone, so a
// stray lead byte just before the end carries it past its buffer. Each byte
// that is not part of valid UTF-8 is handed over as U+DC80..U+DCFF instead
// (a surrogate, which valid input never holds) and turned back afterwards,
// so such a byte in a template still reads back as itself.
std::string escape_stray_bytes(const std::string& raw) {
  std::string out;
  out.reserve(raw.size());
  for (size_t i = 0; i < raw.size();) {
    if (const size_t length = platform::utf8_sequence_length(raw, i)) {
      out.append(raw, i, length);
      i += length;
    } else {
      platform::append_utf8(out, 0xDC00 + static_cast<unsigned char>(raw[i]));
      ++i;
    }
  }
  return out;
}

std::string restore_stray_bytes(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const auto second = i + 2 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    const auto third = i + 2 < text.size() ? static_cast<unsigned char>(text[i + 2]) : 0;
    if (lead == 0xED && (second == 0xB2 || second == 0xB3) && (third & 0xC0) == 0x80) {
      out += static_cast<char>(0x80 | ((second & 1) << 6) | (third & 0x3F));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// CR LF and a lone CR become LF, as TinyXML's own loader makes them.
std::string with_unix_line_ends(const std::string& raw) {
  std::string lines;
  lines.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\r') {
      lines += raw[i];
    } else {
      lines += '\n';
      if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
    }
  }
  return lines;
}

// The file as TinyXML's own loader would see it, with stray bytes escaped.
// A settings file is a few hundred bytes; anything far larger is not one.
bool read_settings_text(const std::string& path, std::string& text, std::string& error) {
  constexpr uint64_t kLargestSettingsFile = 1 << 20;
  std::string raw;
  if (!platform::read_file_part(path, 0, kLargestSettingsFile + 1, raw)) {
    error = "Failed to open file";
    return false;
  }
  if (raw.size() > kLargestSettingsFile) {
    error = "File too large";
    return false;
  }
  text = escape_stray_bytes(with_unix_line_ends(raw));
  return true;
}

// The file is UTF-8 on disk; the program holds Windows-1252. Templates
// become file names, so they take the reversible name form.
void read_template(const TiXmlElement& settings, const char* name, std::string& target) {
  if (const char* text = settings.Attribute(name)) {
    target = platform::name_from_fs(restore_stray_bytes(text));
  }
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

// Where Save Settings writes: the file that the user's own registry file
// names, else settings.xml in the user's folder, which the user's registry
// file is then made to name. A system-wide settings file serves every user
// and is only read. False when the user has no folder for it.
bool user_settings_path(std::string& path, bool& named_in_user_registry) {
  const std::string folder = platform::user_config_folder();
  if (folder.empty()) return false;
  std::string found_in;
  named_in_user_registry =
      platform::read_registry_value(kLocalMachine, kSettingsKey, kSettingsValue, path, &found_in) ==
          platform::RegistryRead::kFound &&
      found_in == folder + "/registry.reg";
  if (named_in_user_registry) return true;
  path = platform::name_from_fs(folder + "/settings.xml");
  return platform::make_user_config_folder() == 0;
}

}  // namespace

bool load_settings(const std::string& path) {
  std::string text;
  std::string error;
  TiXmlDocument document;
  if (read_settings_text(path, text, error)) {
    document.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    if (document.Error()) error = document.ErrorDesc();
  }
  if (!error.empty()) {
    platform::trace("Could not load test file. Error='%s'. Exiting.\n", error.c_str());
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

std::string write_settings() {
  std::string path;
  bool named_in_user_registry = false;
  if (!user_settings_path(path, named_in_user_registry)) {
    error_box("Could not read settings location from registry");
    return "";
  }
  const std::string content =
      std::string("<?xml version=\"1.0\"?>\n") + "<Settings m3u=\"" + (g_m3u ? 't' : 'f') +
      "\" nfo=\"f\" g_dirf=\"" + xml_attribute_text(g_dirf) + "\" g_m3uf=\"" +
      xml_attribute_text(g_m3uf) + "\" g_tf=\"" + xml_attribute_text(g_tf) + "\" />\n";
  // Written beside and renamed over, so a full disk or a crash never leaves
  // the user's settings cut short.
  const int error = platform::write_file_whole(path, content);
  if (error != 0) {
    return "Could not save the settings in " + path + ": " + platform::error_text(error);
  }
  if (!named_in_user_registry) {
    platform::set_user_registry_value(kLocalMachine, kSettingsKey, kSettingsValue, path);
  }
  return "The settings were saved in " + path + ".";
}
