// File: vantrel/foundation/localization/localization_debug.h
//
// Developer aids of `VantrelLocalization`: two switches and a dump.
//
//   VantrelLocalization::setDebugOptions(false, true);   // record missing keys
//   VantrelLocalization::localizedStringFor("menu_Quit");
//   // ~/OstrivoMissingKeys.txt gains: "menu_Quit" = "Quit";
//   VantrelLocalization::debug_printInfo();
//
// `dollarWrapMissing` shows every default text (fallback or key) between
// "$$$" marks, without consulting English. `logMissingKeys` checks every
// lookup against the current language's table and appends each missing key
// to "<home>/OstrivoMissingKeys.txt" (UTF-8, appended to across sessions)
// as a strings-table entry a translator can complete: the key and the text
// after its first "_" (the whole key when it has none), both quoted and
// escaped so the file stays a valid strings table. Switching the log on
// prints "Writing missing keys to = <path>" and writes a header: 78 "=",
// then "Session start at <UTC date>, Language:<current language>:" where
// the language is "nil" or Optional("<code>"). With no current-language
// folder loaded there is no table to check, and nothing is recorded.
// Meant for the main thread.
#pragma once

#include "vantrel/api.h"
namespace vantrel VANTREL_API { namespace VantrelLocalization {

struct DebugOptions {
  bool dollarWrapMissing = false;
  bool logMissingKeys = false;
  friend bool operator==(const DebugOptions&, const DebugOptions&) = default;
};

// Sets both switches, then opens or closes the missing-keys file to match
// (an open file is kept; no second header).
void setDebugOptions(bool dollarWrapMissing, bool logMissingKeys);
[[nodiscard]] DebugOptions getDebugOptions();

// Prints the localization's state and the system's language settings on
// standard output (19 lines; see the source for their layout).
void debug_printInfo();

}}  // namespace vantrel::VantrelLocalization
