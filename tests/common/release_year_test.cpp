#include "common/release_year.h"

#include <gtest/gtest.h>

TEST(ReleaseYear, FromDateText) {
  const struct {
    const char* date;
    int32_t year;
  } cases[] = {
      {"12 Mar 1999", 1999}, {"1999-2000", 1999}, {"0815", 815}, {"99", 1999},
      {"07", 2007},          {"08", 1908},        {"00", 2000},  {"03/12/99", 2003},
      {"Jan 5, 2001", 2001}, {"5 06", 2006},      {"5", -1},     {"199", -1},
      {"12345", -1},         {"1999 12345", -1},  {"", -1},      {"no date", -1},
      {"2005-03-14", 2005},  {"2005-03", 2005},
  };
  for (const auto& c : cases) EXPECT_EQ(year_from_date(c.date), c.year) << "'" << c.date << "'";
}
