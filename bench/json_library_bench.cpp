// Why the API readers use simdjson: parsing a 300 KB release document and
// reading every track title with each JSON library Debian packages.
// Built only when all three are installed (bench/README.md).
#include <benchmark/benchmark.h>
#include <rapidjson/document.h>
#include <simdjson.h>

#include <nlohmann/json.hpp>

#include "bench/api_documents.h"
namespace {

const std::string& doc() {
  static const std::string d = bench_documents::release_document(300 * 1024, 400);
  return d;
}

void BM_Nlohmann(benchmark::State& s) {
  for (auto _ : s) {
    auto j = nlohmann::json::parse(doc(), nullptr, false);
    size_t n = 0;
    for (auto& t : j["tracklist"]) n += t["title"].get_ref<const std::string&>().size();
    benchmark::DoNotOptimize(n);
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * doc().size()));
}
void BM_RapidJson(benchmark::State& s) {
  for (auto _ : s) {
    rapidjson::Document d;
    d.Parse<rapidjson::kParseValidateEncodingFlag>(doc().data(), doc().size());
    size_t n = 0;
    for (auto& t : d["tracklist"].GetArray()) n += t["title"].GetStringLength();
    benchmark::DoNotOptimize(n);
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * doc().size()));
}
void BM_Simdjson(benchmark::State& s) {
  simdjson::dom::parser p;
  for (auto _ : s) {
    simdjson::padded_string copy(doc());  // the reader gets a std::string, so count the copy
    simdjson::dom::element e;
    if (p.parse(copy).get(e)) s.SkipWithError("parse");
    size_t n = 0;
    for (auto t : e["tracklist"].get_array()) n += std::string_view(t["title"]).size();
    benchmark::DoNotOptimize(n);
  }
  s.SetBytesProcessed(static_cast<int64_t>(s.iterations() * doc().size()));
}
BENCHMARK(BM_Nlohmann)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RapidJson)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Simdjson)->Unit(benchmark::kMicrosecond);
}  // namespace
