// File: vantrel/core/utf8.h
//
// `appendUtf8`: the one UTF-8 encoder of the library.
//
//   std::string s;
//   appendUtf8(s, U'é');        // "\xC3\xA9"
//   appendUtf8(s, 0xD800);      // a lone surrogate is not a scalar: U+FFFD
//
// A value that is not a Unicode scalar (a surrogate, or above U+10FFFF) is
// written as U+FFFD, so the result is always valid UTF-8. Thread-safe.
#pragma once

#include <string>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

void appendUtf8(std::string& out, char32_t scalar);

}  // namespace vantrel
