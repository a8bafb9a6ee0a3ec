#pragma once
// Whether an album's own files leave no doubt which release they are: what
// the unattended library run decides before it changes anything. Pure: the
// album and the releases come in, a verdict with its reason goes out.
#include <cstdint>
#include <string>
#include <vector>

#include "model/local_track.h"
#include "model/release.h"
#include "model/track_assignment.h"

// An album folder as it is: its name and its files with their tags.
struct AlbumFacts {
  std::string folder_name;         // the last component of its path
  std::vector<std::string> files;  // the *.mp3 names, as listed
  std::vector<LocalTrack> tags;    // element i belongs to files[i]
};

// What the folder name and the tags say about the release.
struct AlbumClues {
  std::string artist;                // to search for; "" when nothing names one
  std::string title;                 // likewise
  std::vector<std::string> names;    // the folder name and every artist and album tag
  std::vector<std::string> years;    // four digits, as the folder name or tags give them
  std::vector<std::string> catalog;  // bracketed pieces of the folder name, folded
};

AlbumClues album_clues(const AlbumFacts& album);

// One release as a search result describes it.
struct FoundRelease {
  std::string id;
  std::string artist;  // names as stored, "(2)" and all
  std::string title;
  std::string year;
  std::string catalog_number;
};

// The results whose title the folder name or the tags name (and their
// artist too, unless the release is a compilation), best first: the
// fullest title, then the artist, catalogue number and year named. Only
// these can ever be certain, so only these are worth reading.
std::vector<size_t> rank_found_releases(const AlbumClues& clues,
                                        const std::vector<FoundRelease>& found);

// A release read in full, with the search result it came from.
struct ReadRelease {
  FoundRelease found;
  Release release;  // numbered suffixes already taken off the names
};

// Why the files do not name this release beyond doubt; "" when they do, and
// then `assignment` says which file is which track.
std::string doubt_about(const AlbumFacts& album, const AlbumClues& clues, const ReadRelease& read,
                        TrackAssignment& assignment);

struct AlbumVerdict {
  int32_t chosen = -1;  // into the releases judged; -1 when the album is left
  std::string reason;   // why it is left
  TrackAssignment assignment;
};

// The one release of those read that the files name beyond doubt. When
// several are certain, a year or catalogue number that the folder name or
// tags give decides between them; certain ones that differ in tracklist or
// catalogue number leave the album, as two releases fit.
AlbumVerdict judge_album(const AlbumFacts& album, const std::vector<ReadRelease>& read);

// Whether another result could change the verdict on `certain`: it might
// be certain too and the folder name and tags cannot tell the two apart.
bool could_compete(const AlbumClues& clues, const FoundRelease& certain, const FoundRelease& other);

// Text folded for comparing names: letters without accents, lower case,
// every run of other characters one blank, a blank at each end.
std::string folded_words(const std::string& text);
