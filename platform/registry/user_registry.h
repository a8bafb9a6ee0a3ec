#pragma once
// The user's own registry file, the one registry file the program writes:
// files under $XDG_CONFIG_DIRS are shared by every user and only read.
#include <string>

namespace platform {

// Makes user_config_folder() and its parents; 0 or an errno value.
int make_user_config_folder();

// Sets a string value (Windows-1252, like every text the program holds) in
// the user's registry file, which is created when it is missing. The file is
// written whole and renamed over, so it is never left cut short. 0 or an
// errno value.
int set_user_registry_value(const std::string& root, const std::string& key_path,
                            const std::string& value_name, const std::string& value);

}  // namespace platform
