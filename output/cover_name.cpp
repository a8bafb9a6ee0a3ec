#include "common/text.h"
#include "output/cover.h"

std::string cover_file_name(const Release& release) {
  const size_t slash = release.picture_url.rfind('/');
  if (slash != std::string::npos) {
    std::string name = release.picture_url.substr(slash + 1);
    remove_controls_and_undefined(name);
    return name;
  }
  // A title may hold '/' or worse; as a bare name it must stay in the folder.
  std::string name = release.title;
  safe_file_name(name);
  return name + ".jpg";
}
