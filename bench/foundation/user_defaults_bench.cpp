// The time a caller spends in `UserDefaults::set` on a domain that already
// holds 2,000 keys: what a settings screen feels on every change. The file
// is made beforehand in the store's own format, so setup does not pay for
// 2,000 writes. A second case adds `synchronize()` after every set, the cost
// of a change that must be on disk before the caller goes on.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "vantrel/platform/foundation/defaults/user_defaults.h"

namespace {

constexpr int kKeys = 2000;

struct BenchFolder {
  std::filesystem::path path;
  BenchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-bench-XXXXXX").string();
    path = ::mkdtemp(pattern.data());
  }
  ~BenchFolder() { std::filesystem::remove_all(path); }
};

std::shared_ptr<vantrel::UserDefaults> storeWithKeys(const BenchFolder& folder) {
  {
    std::ofstream out(folder.path / "bench.json");
    out << '{';
    for (int i = 0; i < kKeys; ++i) {
      out << (i ? "," : "") << "\"key" << i << "\":{\"type\":\"double\",\"value\":" << i << ".5}";
    }
    out << "}\n";
  }
  vantrel::UserDefaults::setDirectoryForTesting(folder.path.string());
  return vantrel::UserDefaults::create("bench");
}

void BM_UserDefaultsSet(benchmark::State& state) {
  BenchFolder folder;
  auto defaults = storeWithKeys(folder);
  std::int64_t i = 0;
  for (auto _ : state) {
    ++i;
    defaults->set("key" + std::to_string(i % kKeys), i);
  }
  defaults->synchronize();  // outside the timed loop: pending writes finish here
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_UserDefaultsSet)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_UserDefaultsSetThenSynchronize(benchmark::State& state) {
  BenchFolder folder;
  auto defaults = storeWithKeys(folder);
  std::int64_t i = 0;
  for (auto _ : state) {
    ++i;
    defaults->set("key" + std::to_string(i % kKeys), i);
    defaults->synchronize();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_UserDefaultsSetThenSynchronize)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
