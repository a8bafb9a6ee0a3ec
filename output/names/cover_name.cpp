#include "output/names/cover_name.h"

#include "common/text.h"
#include "platform/paths.h"

std::string cover_file_name(const Release& release) {
  if (release.picture_url.find('/') != std::string::npos) {
    std::string name = platform::base_of(release.picture_url);
    remove_controls_and_undefined(name);
    return name;
  }
  // A title may hold '/' or worse; as a bare name it must stay in the folder.
  std::string name = release.title;
  safe_file_name(name);
  return name + ".jpg";
}
