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

#if defined(__GNUC__)
#define VANTREL_API __attribute__((visibility("default")))
#else
#define VANTREL_API
#endif
