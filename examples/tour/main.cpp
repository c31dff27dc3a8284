#include <algorithm>
#include <cstdio>
#include <vector>

#include "tour.h"

namespace tour {

static std::vector<Section>& sections() {
  static std::vector<Section> all;
  return all;
}

bool addSection(int order, std::string title, std::function<void()> body) {
  sections().push_back({order, std::move(title), std::move(body)});
  return true;
}

}  // namespace tour

int main() {
  auto& all = tour::sections();
  std::stable_sort(all.begin(), all.end(),
                   [](const tour::Section& a, const tour::Section& b) { return a.order < b.order; });
  std::printf("Vantrel tour\n");
  for (const auto& section : all) {
    std::printf("\n== %s ==\n", section.title.c_str());
    section.body();
  }
  return 0;
}
