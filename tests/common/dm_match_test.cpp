#include "common/dm_match.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Row = std::vector<int32_t>;

Release make_release(const std::string& artist, const std::string& date,
                     const std::vector<std::string>& names) {
  Release release;
  release.artist = artist;
  release.title = "Some Album";
  release.release_date = date;
  release.track_names = names;
  for (size_t i = 0; i < names.size(); ++i) {
    release.track_numbers.push_back(std::to_string(i + 1));
    release.track_artists.push_back(artist);
  }
  return release;
}

}  // namespace

TEST(NumberedSuffix, OnlyAOneDigitGroupAtTheFirstBracket) {
  const struct {
    std::string name;
    bool numbered;
    std::string stripped;  // inner blanks stay, trailing ones go
  } rows[] = {{"Band (2)", true, "Band"},
              {"(7)", true, ""},
              {"Band (2) Trio", true, "Band  Trio"},
              {"Band (12)", false, "Band (12)"},
              {"Band (live)  ", false, "Band (live)"},
              {"Band (live) (2)", false, "Band (live) (2)"},
              {"Band (2", false, "Band (2"},
              {"", false, ""}};
  for (const auto& row : rows) {
    EXPECT_EQ(has_numbered_suffix(row.name), row.numbered) << row.name;
    std::string name = row.name;
    strip_numbered_suffix(name);
    EXPECT_EQ(name, row.stripped) << row.name;
  }
  EXPECT_EQ(best_index({3, 9, 9, 1}), 1);  // the first largest
  EXPECT_EQ(best_index({}), -1);
}

// A file's score for each track of a release: the words its name (without
// the release's artist, its year and the extension) and tags share with the
// track's number and name, each adding its length per occurrence.
TEST(TrackScore, WordsSharedWithEachTrack) {
  const std::vector<std::string> nine(9, "Zzz");
  const struct {
    std::string file;
    std::string title, number;  // its tags
    std::string artist, date;
    std::vector<std::string> names;
    Row expected;
  } cases[] = {
      {"03 - Some Title.mp3",
       "",
       "",
       "Somebody Else",
       "2004",
       {"Other", "Elsewhere", "Some Title"},
       {0, 0, 29}},
      // '2' twice for the ordinal text "2 2", plus 3 x ('harbour' 7 + 'lights' 6).
      {"track07.mp3", "Harbour Lights", "2", "Band", "", {"Intro", "Harbour Lights"}, {0, 2 + 39}},
      // Without the year gone, '1999' would hold the ordinal words '1' and '9'.
      {"1999.mp3", "", "", "Band", "1999", nine, Row(9, 0)},
      {"Band - Song.mp3", "", "", "Band", "", {"Band Theme", "Song", "MP3"}, {0, 12, 0}},
      {"track.mp3", "", "", "X", "", {"Track", "MP3"}, {15, 0}},
      {"Caf\xE9 Noir.mp3", "", "", "Band", "", {"Caf\xE9 Noir"}, {3 * (3 + 4)}},
      {"who what.mp3", "", "", "Band", "", {"Who? / What:"}, {3 * (3 + 4)}},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> names = {c.file};
    LocalTrack tags;
    tags.title = c.title;
    tags.track_number = c.number;
    const std::vector<LocalTrack> all_tags = {tags};
    Row row;
    score_file_tracks(row, {names, all_tags}, 0, make_release(c.artist, c.date, c.names));
    EXPECT_EQ(row, c.expected) << c.file;
  }
  // 'a-1' never occurs, since '-' became a blank; the ordinal '1' still does;
  // a file without a tag record scores by its name alone.
  Release release = make_release("Band", "", {"Zzz"});
  release.track_numbers = {"A-1"};
  const std::vector<std::string> names = {"A-1.mp3"};
  Row row;
  score_file_tracks(row, {names, {}}, 0, release);
  EXPECT_EQ(row, (Row{1}));
}

// Equal scores go to the lower track; an album is matched track by track,
// the bonus file matching nothing, losing track 0 to its owner and taking
// the next track.
TEST(TrackAssign, EachFileGetsItsBestTrack) {
  const struct {
    std::vector<std::string> files;
    std::string artist, date;
    std::vector<std::string> names;
    std::vector<Row> scores;
    Row track_of_file;
  } cases[] = {
      {{"love.mp3"}, "Band", "", {"Zzz", "Love", "Love"}, {{0, 12, 12}}, {1}},
      {{"01 - The Band - Harbour Lights.mp3", "02 - The Band - Cold Water.mp3",
        "03 - The Band - Last Train Home.mp3", "bonus.mp3"},
       "The Band",
       "1998",
       {"Cold Water", "Harbour Lights", "Last Train Home"},
       {{2, 39, 0}, {27, 2, 0}, {0, 0, 41}, {-1, 0, 0}},
       {1, 0, 2, 1}},
      {{"a.mp3", "b.mp3"}, "Band", "", {}, {{}, {}}, {-1, -1}},
      {{}, "Band", "", {"One", "Two"}, {}, {}},
  };
  for (const auto& c : cases) {
    const std::vector<LocalTrack> tags(c.files.size(), LocalTrack());
    const TrackAssignment assignment =
        match_files({c.files, tags}, make_release(c.artist, c.date, c.names));
    EXPECT_EQ(assignment.scores, c.scores) << c.files.size();
    EXPECT_EQ(assignment.track_of_file, c.track_of_file) << c.files.size();
  }
}

// The highest score keeps a track and the others move, in one pass only.
TEST(TrackConflicts, HighestScoreKeepsTheTrackOthersMoveOnce) {
  const struct {
    std::vector<Row> scores, resolved;
    Row track_of_file;
  } cases[] = {
      // Three files best on track 1 with 10, 30 and 30; file 3 sits on track
      // 3, and file 0 moves onto it: such doubles stay.
      {{{5, 10, 0, 7}, {0, 30, 1, 0}, {8, 30, 0, 7}, {0, 0, 0, 9}},
       {{5, -1, 0, 7}, {0, 30, 1, 0}, {8, -1, 0, 7}, {0, 0, 0, 9}},
       {3, 1, 0, 3}},
      // Track 0 is settled first; the loser of track 1 then lands on track 0.
      {{{9, 0, 0}, {8, 0, 0}, {7, 20, 0}, {0, 30, 0}},
       {{9, 0, 0}, {-1, 0, 0}, {7, -1, 0}, {0, 30, 0}},
       {0, 1, 0, 1}},
      // A release of one track keeps every file on it.
      {{{4}, {6}, {6}}, {{-1}, {6}, {-1}}, {0, 0, 0}},
  };
  for (const auto& c : cases) {
    const Release release =
        make_release("Band", "", std::vector<std::string>(c.scores[0].size(), "Track"));
    TrackAssignment assignment;
    assignment.scores = c.scores;
    for (const Row& row : c.scores) assignment.track_of_file.push_back(best_index(row));
    resolve_track_conflicts(release, assignment);
    EXPECT_EQ(assignment.scores, c.resolved);
    EXPECT_EQ(assignment.track_of_file, c.track_of_file);
  }
}
