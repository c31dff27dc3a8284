// File: vantrel/collections/sequence_rendering.h
//
// Diagnostic renderings of any sequence as a list of text lines, optionally
// under a counted header, and their printing twins.
//
//   std::vector<std::string> types{"a", "b"};
//   vtRender(types)                              {"a", "b"}
//   vtRender(types, true, "Types", ";")          {"Types (count=2):", "0: a;", "1: b;"}
//   vtRenderTitle(types, "Types")                {"Types (count=2):", "0: a", "1: b"}
//   vtRender(types, std::nullopt, [](const std::string& e, std::int64_t i) {
//     return integerText(i) + "=" + e;
//   })                                           {"0=a", "1=b"}
//   vtPrindTitle(types)                          prints "0: a\n1: b\n"
//   vtPrind(types, true)                         prints "[\"0: a\", \"1: b\"]\n"
//
// Elements are written by `describe` (a string as itself, unquoted);
// positions count from 0 in iteration order, in decimal, never padded. The
// header, present whenever a title is (an empty one too), is the title,
// " (count=", the element count and "):"; it is neither numbered nor
// terminated. A format closure's text is the whole line.
//
// The title-only forms carry the label (`vtRenderTitle`, `vtPrindTitle`): a
// bare `vtRender(seq)` is the unnumbered form. `showLineNumbers` accepts only
// a `bool`, so a string literal never turns into the flag.
//
// `vtPrind(seq, showLineNumbers, title, terminator)` and `vtPrint` print the
// lines as a quoted list (`debugDescribe` of the list); the other printers
// join the lines with line feeds (an empty list prints one empty line).
// Every print is one write through the console sink. Each sequence is
// traversed once, so single-pass ranges work. Thread-safe as the sequence
// and the closure are.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ranges>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "vantrel/core/describe.h"
#include "vantrel/core/number_text.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace collections_internal {

// The header line: title, " (count=", count, "):".
[[nodiscard]] std::string countedHeader(std::string_view title, std::size_t count);
// The lines joined by line feeds, as one console line.
void printLinesJoined(const std::vector<std::string>& lines);
// The lines as a quoted list, as one console line.
void printLinesAsList(const std::vector<std::string>& lines);

// Hash and ordered maps: they have renderings of their own (dictionary_operations.h).
template <class R>
concept DictionaryLike = std::ranges::input_range<R> && requires {
  typename std::remove_cvref_t<R>::key_type;
  typename std::remove_cvref_t<R>::mapped_type;
};

template <class F, class R>
concept FormatClosureFor =
    std::ranges::input_range<R> &&
    std::invocable<F&, const std::ranges::range_value_t<R>&, std::int64_t> &&
    std::convertible_to<std::invoke_result_t<F&, const std::ranges::range_value_t<R>&, std::int64_t>,
                        std::string>;

// The element lines in one traversal; the header's slot is kept at the front
// and filled once the count is known.
template <class R, class LineOf>
[[nodiscard]] std::vector<std::string> renderLines(R&& self, std::optional<std::string_view> title,
                                                   LineOf&& lineOf) {
  std::vector<std::string> lines;
  if (title) lines.emplace_back();
  std::int64_t position = 0;
  for (auto&& element : self) {
    lines.push_back(std::string(lineOf(std::as_const(element), position)));
    ++position;
  }
  if (title) lines.front() = countedHeader(*title, lines.size() - 1);
  return lines;
}

}  // namespace collections_internal

// ---- Rendering ----

// One line per element: its description, preceded by "<position>: " when
// `showLineNumbers`, followed by `terminator` when present.
template <std::ranges::input_range R>
[[nodiscard]] std::vector<std::string> vtRender(R&& self, std::same_as<bool> auto showLineNumbers,
                                                std::optional<std::string_view> title = std::nullopt,
                                                std::optional<std::string_view> terminator = std::nullopt) {
  return collections_internal::renderLines(
      std::forward<R>(self), title, [&](const auto& element, std::int64_t position) {
        std::string line;
        if (showLineNumbers) {
          line = integerText(position);
          line += ": ";
        }
        line += describe(element);
        if (terminator) line += *terminator;
        return line;
      });
}

template <std::ranges::input_range R>
[[nodiscard]] std::vector<std::string> vtRender(R&& self) {
  return vtRender(std::forward<R>(self), false);
}

// The same lines as `vtRender(self, showLineNumbers, title, terminator)`.
template <std::ranges::input_range R>
[[nodiscard]] std::vector<std::string> asLines(R&& self, std::same_as<bool> auto showLineNumbers,
                                               std::optional<std::string_view> title = std::nullopt,
                                               std::optional<std::string_view> terminator = std::nullopt) {
  return vtRender(std::forward<R>(self), showLineNumbers, title, terminator);
}

template <std::ranges::input_range R>
[[nodiscard]] std::vector<std::string> asLines(R&& self) {
  return vtRender(std::forward<R>(self), false);
}

// Every line numbered, no terminator. Dictionaries have their own form.
template <std::ranges::input_range R>
  requires(!collections_internal::DictionaryLike<R>)
[[nodiscard]] std::vector<std::string> vtRenderTitle(R&& self,
                                                     std::optional<std::string_view> title = std::nullopt) {
  return vtRender(std::forward<R>(self), true, title);
}

// Each element line is `formatClosure(element, position)`, unchanged.
template <std::ranges::input_range R, collections_internal::FormatClosureFor<R> F>
[[nodiscard]] std::vector<std::string> vtRender(R&& self, std::optional<std::string_view> title,
                                                F&& formatClosure) {
  return collections_internal::renderLines(std::forward<R>(self), title, formatClosure);
}

template <std::ranges::input_range R, collections_internal::FormatClosureFor<R> F>
[[nodiscard]] std::vector<std::string> vtRender(R&& self, F&& formatClosure) {
  return collections_internal::renderLines(std::forward<R>(self), std::nullopt, formatClosure);
}

// ---- Printing ----

// The lines of `vtRender(self, showLineNumbers, title, terminator)` as a
// quoted list on one line.
template <std::ranges::input_range R>
void vtPrind(R&& self, std::same_as<bool> auto showLineNumbers,
             std::optional<std::string_view> title = std::nullopt,
             std::optional<std::string_view> terminator = std::nullopt) {
  collections_internal::printLinesAsList(
      vtRender(std::forward<R>(self), showLineNumbers, title, terminator));
}

template <std::ranges::input_range R>
void vtPrind(R&& self) {
  vtPrind(std::forward<R>(self), false);
}

// Exactly the output of `vtPrind(self, showLineNumbers, title, terminator)`.
template <std::ranges::input_range R>
void vtPrint(R&& self, std::same_as<bool> auto showLineNumbers,
             std::optional<std::string_view> title = std::nullopt,
             std::optional<std::string_view> terminator = std::nullopt) {
  vtPrind(std::forward<R>(self), showLineNumbers, title, terminator);
}

template <std::ranges::input_range R>
void vtPrint(R&& self) {
  vtPrind(std::forward<R>(self), false);
}

// The lines of `vtRenderTitle(self, title)`, joined by line feeds.
template <std::ranges::input_range R>
  requires(!collections_internal::DictionaryLike<R>)
void vtPrindTitle(R&& self, std::optional<std::string_view> title = std::nullopt) {
  collections_internal::printLinesJoined(vtRenderTitle(std::forward<R>(self), title));
}

// The lines of `vtRender(self, title, formatClosure)`, joined by line feeds.
template <std::ranges::input_range R, collections_internal::FormatClosureFor<R> F>
void vtPrind(R&& self, std::optional<std::string_view> title, F&& formatClosure) {
  collections_internal::printLinesJoined(vtRender(std::forward<R>(self), title, formatClosure));
}

template <std::ranges::input_range R, collections_internal::FormatClosureFor<R> F>
void vtPrind(R&& self, F&& formatClosure) {
  collections_internal::printLinesJoined(vtRender(std::forward<R>(self), std::nullopt, formatClosure));
}

}  // namespace vantrel
