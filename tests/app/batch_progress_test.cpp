// The progress line of a library run: the time left is judged from the
// albums done so far and given in whole minutes, rounded.
#include <gtest/gtest.h>

#include "app/batch/batch_run.h"

TEST(BatchProgress, TheTimeLeftComesFromTheAlbumsDone) {
  const struct {
    size_t done, all;
    double seconds;
    const char* line;
  } cases[] = {
      {0, 20, 0, "album 1 of 20: 2 tagged, 1 left"},
      {4, 20, 7.4, "album 5 of 20: 2 tagged, 1 left, less than a minute left"},  // 29.6 s
      {4, 20, 7.5, "album 5 of 20: 2 tagged, 1 left, about 1 minute left"},
      {4, 20, 30, "album 5 of 20: 2 tagged, 1 left, about 2 minutes left"},
      {1, 3, 44, "album 2 of 3: 2 tagged, 1 left, about 1 minute left"},  // 88 s
      {1, 3, 46, "album 2 of 3: 2 tagged, 1 left, about 2 minutes left"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(batch_progress_line(c.done, c.all, 2, 1, c.seconds), c.line) << c.seconds << " s";
}
