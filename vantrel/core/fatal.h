// File: vantrel/core/fatal.h
//
// `fatal`: the one way the library stops the program. Used where a safe
// language would trap (index out of range, overflow, a broken caller contract): the checks
// stay in release builds, so nothing becomes undefined behaviour.
//
//   if (index >= size) fatal(fmt::format("Index out of range ({} of {})", index, size));
//
// Flushes standard output (so lines already printed are not lost), writes
// "Fatal error: <message>: file <file>, line <line>" to standard error and
// aborts. Thread-safe.
#pragma once

#include <string_view>

#include "vantrel/core/source_location.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

[[noreturn]] void fatal(std::string_view message, SourceLocation loc = SourceLocation::current());

}  // namespace vantrel
