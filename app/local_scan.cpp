#include "app/local_scan.h"

#include "output/tags/tag_reader.h"
#include "platform/files/folders.h"
#include "platform/trace.h"

bool find_mp3_files(RunState& run) {
  const std::vector<std::string> names = platform::list_mp3_names();
  run.files.insert(run.files.end(), names.begin(), names.end());
  return !names.empty();
}

void scan_local_tracks(RunState& run) {
  for (const std::string& name : run.files) {
    platform::trace("reading: %s\n", name.c_str());
    LocalTrack track;
    read_local_tags(name, track);
    platform::trace("artist: '%s'\n", track.artist.c_str());
    platform::trace("title : '%s'\n", track.title.c_str());
    platform::trace("album : '%s'\n", track.album.c_str());
    platform::trace("label :\t'%s'\n", track.label.c_str());
    platform::trace("catnum:\t'%s'\n", track.catalog_number.c_str());
    platform::trace("track#: '%s'\n", track.track_number.c_str());
    platform::trace("reldate:'%s'\n", track.release_date.c_str());
    platform::trace("genre : '%s'\n", track.genre.c_str());
    platform::trace("style : '%s'\n", track.style.c_str());
    platform::trace("comment:'%s'\n", track.comment.c_str());
    run.local_tracks.push_back(track);
  }
}
