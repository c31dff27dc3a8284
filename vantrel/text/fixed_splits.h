// File: vantrel/text/fixed_splits.h
//
// One-word splits and joins at six fixed separators, and the split at a
// separator text they rest on.
//
//   suffix  separator
//   D       "◊" (U+25CA)     componentsByD  splitByD  joinedD
//   C       ","              componentsByC  splitByC  joinedC
//   S       " "              componentsByS  splitByS  joinedS
//   CS      ", "             componentsByCS splitByCS joinedCS
//   NL      "\n"             componentsByNL splitByNL joinedNL  nlAndJoinedNL
//   NLT     "\n\t"                                              nltAndJoinedNLT
//
//   componentsByC("a,,b")              {"a", "", "b"}
//   componentsByNL("a\r\nb")           {"a\r", "b"}   (cut at every line feed byte)
//   splitByC(",a,,b,")                 {"a", "b"}
//   splitByNL("a\r\nb")                {"a\r\nb"}      (CR LF is one character, not "\n")
//   splitByCS("a, b, ")                {"a", "b"}
//   split("a, , b", ", ", false)       {"a", "", "b"}
//   joinedCS({"a", "b"})               "a, b"
//   nlAndJoinedNL({"a", "b"})          "\na\nb"
//
// `componentsBy*` cut at every byte occurrence of the separator (none of the
// six has another canonical spelling), empty parts kept: joining them with
// the separator gives the text back. `splitBy*` walk characters and cut at a
// character equal to the separator, leaving empty slices out. `split` finds
// the separator text with `rangesOf` (canonical search, no overlap); with
// `omittingEmptySubsequences` no slice is empty, without it joining the
// slices with the separator gives the text back.
//
// Slices are views into the text: keep it alive (temporaries are refused).
// Nothing fails; thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vantrel/core/temporary_string.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

inline constexpr std::string_view kSeparatorD = "\u25CA";
inline constexpr std::string_view kSeparatorC = ",";
inline constexpr std::string_view kSeparatorS = " ";
inline constexpr std::string_view kSeparatorCS = ", ";
inline constexpr std::string_view kSeparatorNL = "\n";
inline constexpr std::string_view kSeparatorNLT = "\n\t";

// ---- Parts (texts of their own, empty parts kept) --------------------------

[[nodiscard]] std::vector<std::string> componentsByD(std::string_view self);
[[nodiscard]] std::vector<std::string> componentsByC(std::string_view self);
[[nodiscard]] std::vector<std::string> componentsByS(std::string_view self);
[[nodiscard]] std::vector<std::string> componentsByCS(std::string_view self);
[[nodiscard]] std::vector<std::string> componentsByNL(std::string_view self);

// ---- Slices (views into `self`) ---------------------------------------------

[[nodiscard]] std::vector<std::string_view> splitByD(std::string_view self);
[[nodiscard]] std::vector<std::string_view> splitByC(std::string_view self);
[[nodiscard]] std::vector<std::string_view> splitByS(std::string_view self);
[[nodiscard]] std::vector<std::string_view> splitByNL(std::string_view self);
[[nodiscard]] std::vector<std::string_view> splitByCS(std::string_view self);
[[nodiscard]] std::vector<std::string_view> split(std::string_view self, std::string_view separatorString,
                                                  bool omittingEmptySubsequences = true);

// The views would dangle.
template <TemporaryString T>
void splitByD(T&&) = delete;
template <TemporaryString T>
void splitByC(T&&) = delete;
template <TemporaryString T>
void splitByS(T&&) = delete;
template <TemporaryString T>
void splitByNL(T&&) = delete;
template <TemporaryString T>
void splitByCS(T&&) = delete;
template <TemporaryString T>
void split(T&&, std::string_view, bool = true) = delete;

// ---- Joins (any range of texts or views) ------------------------------------

template <class Texts>
[[nodiscard]] std::string joinedWith(const Texts& texts, std::string_view separator) {
  std::string out;
  bool first = true;
  for (const auto& text : texts) {
    if (!first) out.append(separator);
    out.append(std::string_view(text));
    first = false;
  }
  return out;
}

template <class Texts>
[[nodiscard]] std::string joinedD(const Texts& texts) {
  return joinedWith(texts, kSeparatorD);
}
template <class Texts>
[[nodiscard]] std::string joinedC(const Texts& texts) {
  return joinedWith(texts, kSeparatorC);
}
template <class Texts>
[[nodiscard]] std::string joinedS(const Texts& texts) {
  return joinedWith(texts, kSeparatorS);
}
template <class Texts>
[[nodiscard]] std::string joinedCS(const Texts& texts) {
  return joinedWith(texts, kSeparatorCS);
}
template <class Texts>
[[nodiscard]] std::string joinedNL(const Texts& texts) {
  return joinedWith(texts, kSeparatorNL);
}
// The separator, then the join: an empty range gives the separator alone.
template <class Texts>
[[nodiscard]] std::string nlAndJoinedNL(const Texts& texts) {
  return std::string(kSeparatorNL) + joinedWith(texts, kSeparatorNL);
}
template <class Texts>
[[nodiscard]] std::string nltAndJoinedNLT(const Texts& texts) {
  return std::string(kSeparatorNLT) + joinedWith(texts, kSeparatorNLT);
}

}  // namespace vantrel
