#pragma once
// Deciding which local file is which track of the chosen release.
#include <cstdint>
#include <string>
#include <vector>

#include "model/local_track.h"
#include "model/release.h"
#include "model/track_assignment.h"

// The album's files as the matcher sees them: element i of each list
// belongs to file i (a file without a tag record scores by its name alone).
struct AlbumFiles {
  const std::vector<std::string>& names;
  const std::vector<LocalTrack>& tags;
};

// Every local file scored against every track of the release and given its
// best track, conflicts resolved.
TrackAssignment match_files(const AlbumFiles& files, const Release& release);
// Scores every file against every track of the release and gives each file
// its best track.
void score_all_files(const AlbumFiles& files, const Release& release, TrackAssignment& assignment);
// Row of n scores for file `file`: the overlap of each track's ordinal and
// number text plus three times that of its title, with the file's name and
// tags as the haystack (release artist, year and "mp3" taken out).
void score_file_tracks(std::vector<int32_t>& row, const AlbumFiles& files, int file,
                       const Release& release);
// Index of the first largest entry; -1 for an empty list.
int32_t best_index(const std::vector<int32_t>& list);
void assign_best_track(const std::vector<int32_t>& row, int file, TrackAssignment& assignment);
// One pass: a track chosen by several files goes to the highest score (the
// lowest file on a tie); the others lose it (-1) and take their best other
// track, even where that makes a new double.
void resolve_track_conflicts(const Release& release, TrackAssignment& assignment);
// The ten tag fields in their fixed order, joined by single blanks; an empty
// field still brings its blank.
std::string joined_tag_fields(const LocalTrack& track);
// True when the first '(' opens a one-digit group: "Band (2)".
bool has_numbered_suffix(const std::string& name);
// Drops such a group, then every trailing blank.
void strip_numbered_suffix(std::string& name);
// The first artist of the release, the release artist before the track
// artists, that has a numbered suffix; "" when none has.
std::string first_numbered_artist(const Release& release);
// The release artist and every track artist, titles untouched.
void strip_artist_suffixes(Release& release);
