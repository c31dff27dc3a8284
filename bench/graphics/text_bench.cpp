// Measuring and drawing many short labels, the load of a window full of
// buttons and table cells.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "vantrel/platform/graphics/drawing_context.h"
#include "vantrel/platform/graphics/font.h"

namespace vantrel {
namespace {

std::vector<std::string> makeLabels(int count) {
  const char* const words[] = {"OK", "Cancel", "Open…", "Save As", "Name", "Size", "Kind", "Date Modified",
                               "Zoë", "Preferences", "Quit", "Help"};
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) out.push_back(std::string(words[i % 12]) + " " + std::to_string(i));
  return out;
}

// A window's worth: 100 labels measured again and again.
const std::vector<std::string>& shortLabels() {
  static const auto& labels = *new std::vector<std::string>(makeLabels(100));
  return labels;
}

// Every label new: what measuring costs when nothing was measured before.
const std::vector<std::string>& distinctLabels() {
  static const auto& labels = *new std::vector<std::string>(makeLabels(10000));
  return labels;
}

void measureLabels(benchmark::State& state, const std::vector<std::string>& labels) {
  const Font font = Font::systemFont(13);
  for (auto _ : state) {
    double total = 0;
    for (int i = 0; i < 10000; ++i) total += measureText(labels[static_cast<std::size_t>(i) % labels.size()], font).width;
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}

void BM_Measure10kShortLabels(benchmark::State& state) { measureLabels(state, shortLabels()); }
BENCHMARK(BM_Measure10kShortLabels)->Unit(benchmark::kMillisecond);

void BM_Measure10kDistinctLabels(benchmark::State& state) { measureLabels(state, distinctLabels()); }
BENCHMARK(BM_Measure10kDistinctLabels)->Unit(benchmark::kMillisecond);

void BM_Draw1kShortLabels(benchmark::State& state) {
  const Font font = Font::systemFont(13);
  const auto& labels = shortLabels();
  auto context = DrawingContext::create(400, 400);
  for (auto _ : state) {
    context->clearRect(Rect(0, 0, 400, 400));
    for (int i = 0; i < 1000; ++i) {
      const Rect rect((i % 4) * 100.0, ((i / 4) % 25) * 16.0, 100, 16);
      context->drawText(labels[static_cast<std::size_t>(i) % labels.size()], rect, font, *Color::blackColor());
    }
    benchmark::DoNotOptimize(context->makeImage());
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_Draw1kShortLabels)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel
