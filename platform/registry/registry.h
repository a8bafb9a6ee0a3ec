#pragma once
// The read-only registry, kept as a file in regedit's export format:
//   $XDG_CONFIG_HOME/plinth/registry.reg  (default ~/.config/...), then
//   plinth/registry.reg under each folder of $XDG_CONFIG_DIRS (default /etc/xdg)
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Varnel\Plinth]
//   "Settings"="/home/me/.config/plinth/settings.xml"
//
// Only string values are read; "\\" and "\"" are their escapes.
#include <map>
#include <string>
#include <vector>

namespace platform {

// String values by key path and value name ("" is the key's default value,
// written @). Key paths and names are stored in ASCII lower case, as the
// registry compares them without regard to case. Texts are UTF-8.
using RegistryValues = std::map<std::string, std::map<std::string, std::string>>;

// Reads an export file's bytes: UTF-8 (with or without a byte-order mark) or
// UTF-16 with a byte-order mark, LF or CR LF line ends. Lines it does not
// understand are skipped; it never fails.
RegistryValues parse_registry_export(const std::string& bytes);

// The user's own folder of the program's files (file-system bytes):
// $XDG_CONFIG_HOME/plinth, else ~/.config/plinth; empty when neither is known.
std::string user_config_folder();

// The registry files in the order they are consulted: the user's first.
std::vector<std::string> registry_file_paths();

enum class RegistryRead { kFound, kNoKey, kNoValue };

// Looks a string value up under root\key_path in the registry files, the
// user's first. The value comes back as Windows-1252 text (see codepage.h).
// from_file, when given, is set to the file the value was found in.
RegistryRead read_registry_value(const std::string& root, const std::string& key_path,
                                 const std::string& value_name, std::string& value,
                                 std::string* from_file = nullptr);

}  // namespace platform
