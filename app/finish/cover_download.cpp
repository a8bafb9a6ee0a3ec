#include "app/finish/cover_download.h"

#include <memory>

#include "output/names/cover_name.h"
#include "platform/files/album_entries.h"
#include "platform/trace.h"
#include "web/hosts.h"
#include "web/http_client.h"

std::string download_cover(const Release& release) {
  const std::string& address = release.picture_url;
  platform::trace("testing '%s' for download?\n", address.c_str());
  if (address.size() < 3) return std::string();
  const std::string name = cover_file_name(release);
  // A picture from an earlier run stays and is used as it is; a link or
  // anything else under the name is left alone, and so is a name that
  // cannot be a file of this folder.
  if (!platform::entry_name_refusal(name).empty() ||
      platform::entry_kind(name) != platform::EntryKind::kMissing) {
    return std::string();
  }
  platform::trace("downloading %s\n", address.c_str());
  // Two 100000-byte buffers: too large for the stack of a dialog.
  const auto client = std::make_unique<HttpClient>();
  std::string picture;
  // Only a complete 2xx answer is a picture, and it is kept whole: an error
  // page or a cut file would go into every track's tag.
  if (!client->RequestWhole(address, kUserAgent, picture)) return std::string();
  return picture;
}
