// Lines per second of CsvLogger against spdlog's asynchronous file sink,
// from 1 and 8 writing threads. One iteration writes kLines lines and ends
// only when all of them are in the file (CsvLogger::flush; spdlog: the
// logger and its thread pool are destroyed, which drains the queue), so a
// writer that merely queues faster than the disk gains nothing. Both write
// the same line: date "yyyy-MM-dd HH:mm:ss.SSS" followed by the text.
#include <benchmark/benchmark.h>
#include <spdlog/async.h>
#include <spdlog/async_logger.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/spdlog.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "vantrel/foundation/logs/csv_logger.h"

namespace {

constexpr int kLines = 200000;
const std::string kText = "FatalError: something went wrong in the table view, row 42";

struct BenchFolder {
  std::filesystem::path path;
  BenchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-bench-XXXXXX").string();
    path = ::mkdtemp(pattern.data());
  }
  ~BenchFolder() { std::filesystem::remove_all(path); }
};

std::size_t countLines(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::size_t n = 0;
  std::string line;
  while (std::getline(in, line)) ++n;
  return n;
}

template <class Write>
void runThreads(int threads, const Write& write) {
  std::vector<std::thread> pool;
  for (int t = 0; t < threads; ++t) {
    pool.emplace_back([&, t] {
      const int share = kLines / threads + (t < kLines % threads ? 1 : 0);
      for (int i = 0; i < share; ++i) write();
    });
  }
  for (auto& thread : pool) thread.join();
}

void BM_CsvLogger_Lines(benchmark::State& state) {
  const int threads = static_cast<int>(state.range(0));
  BenchFolder folder;
  std::filesystem::path file;
  int round = 0;
  for (auto _ : state) {
    file = folder.path / ("csv" + std::to_string(round++) + ".log");
    auto logger = vantrel::CsvLogger::createWithLogFileUrl("bench", vantrel::URL::fileURLWithPath(file.string()));
    runThreads(threads, [&] { logger->logLine(kText); });
    if (!logger->flush(std::chrono::milliseconds(60000))) state.SkipWithError("flush timed out");
  }
  if (countLines(file) != static_cast<std::size_t>(kLines)) state.SkipWithError("lines lost");
  state.SetItemsProcessed(state.iterations() * kLines);
}

void BM_SpdlogAsync_Lines(benchmark::State& state) {
  const int threads = static_cast<int>(state.range(0));
  BenchFolder folder;
  std::filesystem::path file;
  int round = 0;
  for (auto _ : state) {
    file = folder.path / ("spd" + std::to_string(round++) + ".log");
    auto pool = std::make_shared<spdlog::details::thread_pool>(8192, 1);
    auto sink = std::make_shared<spdlog::sinks::basic_file_sink_mt>(file.string(), true);
    auto logger = std::make_shared<spdlog::async_logger>("bench", sink, pool, spdlog::async_overflow_policy::block);
    logger->set_pattern("%Y-%m-%d %H:%M:%S.%e%v");
    runThreads(threads, [&] { logger->info(kText); });
    logger->flush();
    logger.reset();
    pool.reset();  // joins the worker after it has written every queued line
  }
  if (countLines(file) != static_cast<std::size_t>(kLines)) state.SkipWithError("lines lost");
  state.SetItemsProcessed(state.iterations() * kLines);
}

}  // namespace

BENCHMARK(BM_CsvLogger_Lines)->Arg(1)->Arg(8)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpdlogAsync_Lines)->Arg(1)->Arg(8)->UseRealTime()->Unit(benchmark::kMillisecond);
