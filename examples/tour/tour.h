// A tour section: a named block that main() runs in order of `order`.
//
//   TOUR_SECTION(10, "Console loggers") { vantrel::qlog.red("red"); }
#pragma once

#include <functional>
#include <string>

namespace tour {

struct Section {
  int order;
  std::string title;
  std::function<void()> body;
};

bool addSection(int order, std::string title, std::function<void()> body);

}  // namespace tour

#define TOUR_CONCAT_(a, b) a##b
#define TOUR_CONCAT(a, b) TOUR_CONCAT_(a, b)
#define TOUR_SECTION(order, title)                                              \
  static void TOUR_CONCAT(tourSection, __LINE__)();                             \
  [[maybe_unused]] static const bool TOUR_CONCAT(tourRegistered, __LINE__) =    \
      ::tour::addSection(order, title, &TOUR_CONCAT(tourSection, __LINE__));    \
  static void TOUR_CONCAT(tourSection, __LINE__)()
