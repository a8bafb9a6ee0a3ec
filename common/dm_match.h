#pragma once
// Deciding which local file is which track of the chosen release.
#include <cstdint>
#include <string>
#include <vector>

#include "model/local_track.h"
#include "model/release.h"
#include "model/track_assignment.h"

// Stores the release in g_releases, makes it the chosen one and assigns
// every local file a track.
void find_matches(const Release& release);
// Scores every file against every track of the chosen release and gives
// each file its best track; only a trace line when no release is chosen.
void score_all_files();
// Row of n scores for file `file`: the overlap of each track's ordinal and
// number text plus three times that of its title, with the file's name and
// tags as the haystack (release artist, year and "mp3" taken out).
void score_file_tracks(std::vector<int32_t>& row, int file, const Release& release);
// Index of the first largest entry; -1 for an empty list.
int32_t best_index(const std::vector<int32_t>& list);
void assign_best_track(const std::vector<int32_t>& row, int file);
// One pass: a track chosen by several files goes to the highest score (the
// lowest file on a tie); the others lose it (-1) and take their best other
// track, even where that makes a new double.
void resolve_track_conflicts();
// The same pass on any assignment to a release of `tracks` tracks.
void resolve_conflicts_in(TrackAssignment& assignment, int32_t tracks);
// The match page's score of every file (row) against every track.
std::vector<std::vector<int32_t>> album_file_scores(const std::vector<std::string>& files,
                                                    const std::vector<LocalTrack>& tags,
                                                    const Release& release);
// What the match page makes of the files (names and tags, element i of one
// belongs to element i of the other) and the release, without the run state:
// scores, each file's best track, the conflicts resolved.
TrackAssignment match_album_files(const std::vector<std::string>& files,
                                  const std::vector<LocalTrack>& tags, const Release& release);
// The ten tag fields in their fixed order, joined by single blanks; an empty
// field still brings its blank.
std::string joined_tag_fields(const LocalTrack& track);
// True when the first '(' opens a one-digit group: "Band (2)".
bool has_numbered_suffix(const std::string& name);
// Drops such a group, then every trailing blank.
void strip_numbered_suffix(std::string& name);
// The release artist and every track artist, titles untouched.
void strip_artist_suffixes(Release& release);
