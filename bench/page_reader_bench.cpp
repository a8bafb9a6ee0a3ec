// Time per call of the release page reader on a page of about 100 KB: the
// details, a long tracklist with artists, remix brackets and entities, and
// the notes and credits that real pages carry after it.
#include <benchmark/benchmark.h>

#include <string>

#include "model/release.h"
#include "web/site/release_page.h"

namespace {

std::string track_row(int number) {
  const std::string position = "A" + std::to_string(number);
  return "<tr><td class=\"pos\">" + position +
         "</td><td><a href=\"/artist/Oskar+Dunn\">Oskar Dunn</a></td>"
         "<td class=\"title\">Harbour Lights &amp; Night " +
         std::to_string(number) +
         " (Remix: DJ Caf\xC3\xA9) (Edit)</td><td><small>4:01</small></td></tr>\n";
}

std::string release_page(size_t size) {
  std::string page =
      "<html><head><title>Mira Vell - First Light</title></head><body>\n"
      "<div class=\"image\"><a href=\"/viewimages?release=101\"><img "
      "src=\"http://images.discogs.com/R/t/R-101.jpg\" width=\"150\"></a></div>\n"
      "<div class=\"profile\"><h1 class=\"releaseTitle\"><a href=\"/artist/Mira+Vell\">Mira "
      "Vell</a> - First Light &amp; Dark</h1>\n<table class=\"details\">\n"
      "<tr><td>Label:</td><td><a href=\"/label/Quiet+Harbour\">Quiet Harbour</a></td></tr>\n"
      "<tr><td>Catalog#:</td><td>QH 001</td></tr>\n"
      "<tr><td>Format:</td><td>CD, Album</td></tr>\n"
      "<tr><td>Released:</td><td>12 Mar 2001</td></tr>\n"
      "<tr><td>Genre:</td><td>Electronic, Rock</td></tr>\n"
      "<tr><td>Style:</td><td>Drum n Bass</td></tr>\n</table></div>\n"
      "<h2>Tracklisting:</h2>\n<table class=\"tracklist\">\n";
  for (int number = 1; number <= 40; ++number) page += track_row(number);
  page += "</table>\n<h2>Notes:</h2><p>";
  while (page.size() + 40 < size) {
    page += "Recorded live at the harbour, mixed at night. ";
  }
  page += "</p></body></html>\n";
  return page;
}

void BM_ReadReleasePage(benchmark::State& state) {
  const std::string page = release_page(100 * 1024);
  for (auto _ : state) {
    Release release;
    read_release_page(page, release);
    benchmark::DoNotOptimize(release.track_names.data());
    if (release.track_names.size() != 40) state.SkipWithError("tracklist not read");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_ReadReleasePage)->Unit(benchmark::kMicrosecond);

}  // namespace
