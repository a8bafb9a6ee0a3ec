#pragma once
#include <cstddef>
#include <string>

constexpr size_t kRegistryBufferSize = 4096;
constexpr const char* kLocalMachine = "HKEY_LOCAL_MACHINE";

// Reads a string value into the caller's buffer. Returns the bytes stored,
// terminating zero included, or 0 after telling the user what was missing
// ("Could not find key path" or "Could not read key value").
int read_registry_string(const std::string& root, const std::string& key_path,
                         const std::string& value_name, char (&buffer)[kRegistryBufferSize]);
