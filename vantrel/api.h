// File: vantrel/api.h
//
// `VANTREL_API`: what the shared libraries export. The library is compiled
// with hidden visibility; every header opens its namespace as
//
//   #include "vantrel/api.h"
//   namespace vantrel VANTREL_API {
//
// so what a header declares is exported and what only a .cpp file declares
// stays inside its library. Headers under `internal/` are included by .cpp
// files alone and keep the plain opening, unless public inline code calls
// what they declare. This header belongs to no module: every module may
// include it, and it is installed with each of them.
#pragma once

// Every public header reaches this check before any code of its own: each
// includes the standard headers first (which older standards accept), then
// project headers, every one of which reaches this header before its own
// code. An older standard would otherwise meet hundreds of errors, the first
// about a compiler builtin; a missing include is what ends compilation at
// once, with this one line, under both g++ and clang++.
#if __cplusplus < 202002L
#include "Vantrel needs C++20 (-std=c++20 or later)"
#endif

#if defined(__GNUC__)
#define VANTREL_API __attribute__((visibility("default")))
#else
#define VANTREL_API
#endif
