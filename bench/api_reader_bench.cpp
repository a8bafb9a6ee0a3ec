// Time per call of the database API readers: a release document of about
// 300 KB (400 tracks with their own artists, notes) and an artist's
// discography of 1000 entries over ten pages of 100.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/api_documents.h"
#include "web/api/api_readers.h"

namespace {

void BM_ReadApiRelease(benchmark::State& state) {
  const std::string doc = bench_documents::release_document(300 * 1024, 400);
  for (auto _ : state) {
    Release release;
    read_api_release(doc, release);
    benchmark::DoNotOptimize(release.track_names.data());
    if (release.track_names.size() != 400) state.SkipWithError("tracklist not read");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.size()));
}
BENCHMARK(BM_ReadApiRelease)->Unit(benchmark::kMicrosecond);

void BM_ReadApiDiscography1000(benchmark::State& state) {
  std::vector<std::string> pages;
  for (int page = 1; page <= 10; ++page)
    pages.push_back(bench_documents::discography_page(page, 10, 100));
  for (auto _ : state) {
    ApiDiscographyPage read;
    for (const std::string& page : pages) read_api_discography(page, false, read);
    benchmark::DoNotOptimize(read.entries.data());
    if (read.entries.size() < 800) state.SkipWithError("discography not read");
  }
}
BENCHMARK(BM_ReadApiDiscography1000)->Unit(benchmark::kMicrosecond);

}  // namespace
