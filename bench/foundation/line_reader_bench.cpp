// Bytes per second of StreamReader over a file in the page cache, against
// a raw read()+memchr loop at the same chunk size (the floor: it finds every
// line end and does nothing else) and std::getline on an std::ifstream into
// one reused string (the stream's default buffer). Lines of 100 B, 10 KiB and 1 MiB; chunks of 4096 B and
// 64 KiB. The file size is VANTREL_BENCH_MIB (default 1024); each file is
// written once and read once before timing, so every run reads from memory.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "vantrel/foundation/files/line_readers.h"

namespace {

std::size_t fileBytes() {
  const char* mib = std::getenv("VANTREL_BENCH_MIB");
  return static_cast<std::size_t>(mib ? std::atoll(mib) : 1024) << 20;
}

struct BenchFiles {
  std::filesystem::path folder;
  std::map<std::size_t, std::string> byLineLength;

  BenchFiles() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-lines-XXXXXX").string();
    folder = ::mkdtemp(pattern.data());
  }
  ~BenchFiles() { std::filesystem::remove_all(folder); }

  const std::string& file(std::size_t lineLength) {
    auto found = byLineLength.find(lineLength);
    if (found != byLineLength.end()) return found->second;
    const std::string path = (folder / ("lines-" + std::to_string(lineLength))).string();
    std::string line(lineLength - 1, 'x');
    for (std::size_t i = 0; i < line.size(); ++i) line[i] = static_cast<char>('a' + i % 26);
    line += '\n';
    std::string block;
    while (block.size() < (8u << 20)) block += line;
    {
      std::ofstream out(path, std::ios::binary);
      for (std::size_t written = 0; written < fileBytes(); written += block.size()) out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    // Once through, so the timed runs read from the page cache.
    std::vector<char> buffer(1 << 20);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
    return byLineLength.emplace(lineLength, path).first->second;
  }
};

BenchFiles& files() {
  static BenchFiles instance;
  return instance;
}

std::size_t size(const std::string& path) { return std::filesystem::file_size(path); }

void BM_StreamReader(benchmark::State& state) {
  const std::string& path = files().file(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    auto reader = vantrel::StreamReader::create(path, "\n", vantrel::StringEncoding::utf8, state.range(1));
    std::size_t lines = 0;
    while (auto line = reader->nextLine()) {
      benchmark::DoNotOptimize(line->data());
      ++lines;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size(path)));
}

void BM_RawReadMemchr(benchmark::State& state) {
  const std::string& path = files().file(static_cast<std::size_t>(state.range(0)));
  const auto chunk = static_cast<std::size_t>(state.range(1));
  std::vector<char> buffer(chunk);
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    std::size_t lines = 0;
    for (;;) {
      const ssize_t n = ::read(fd, buffer.data(), chunk);
      if (n <= 0) break;
      const char* p = buffer.data();
      const char* end = p + n;
      while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr) {
        ++lines;
        ++p;
      }
    }
    ::close(fd);
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size(path)));
}

// The raw loop plus what the interface asks for: one new std::string per
// line, which the loop copies out of its chunk (lines that straddle chunks
// are not joined, so this is a floor, not a reader). What StreamReader costs
// beyond this is its own.
void BM_RawReadMemchrNewString(benchmark::State& state) {
  const std::string& path = files().file(static_cast<std::size_t>(state.range(0)));
  const auto chunk = static_cast<std::size_t>(state.range(1));
  std::vector<char> buffer(chunk);
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    std::size_t lines = 0;
    for (;;) {
      const ssize_t n = ::read(fd, buffer.data(), chunk);
      if (n <= 0) break;
      const char* p = buffer.data();
      const char* end = p + n;
      while (const char* hit = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) {
        std::string line(p, hit);
        benchmark::DoNotOptimize(line.data());
        ++lines;
        p = hit + 1;
      }
    }
    ::close(fd);
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size(path)));
}

void BM_IfstreamGetline(benchmark::State& state) {
  const std::string& path = files().file(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::size_t lines = 0;
    while (std::getline(in, line)) {
      benchmark::DoNotOptimize(line.data());
      ++lines;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size(path)));
}

void lineArgs(benchmark::internal::Benchmark* b) {
  for (const std::int64_t length : {100, 10 << 10, 1 << 20}) {
    for (const std::int64_t chunk : {4096, 64 << 10}) b->Args({length, chunk});
  }
  b->ArgNames({"line", "chunk"})->Unit(benchmark::kMillisecond)->Iterations(3);
}

BENCHMARK(BM_StreamReader)->Apply(lineArgs);
BENCHMARK(BM_RawReadMemchr)->Apply(lineArgs);
BENCHMARK(BM_RawReadMemchrNewString)->Apply(lineArgs);
// The stream's own buffer (BUFSIZ); the chunk argument only lines the rows up.
BENCHMARK(BM_IfstreamGetline)->Apply(lineArgs);

}  // namespace
