// File: vantrel/foundation/pasteboard/pasteboard_constant_dump.h
//
// `vtPrintConstantValues()`: a developer dump of the identifiers behind the
// pasteboard's named types and names, under their current and older names.
//
//   vtPrintConstantValues();
//   // Standard Pasteboard Names:
//   // kUTTypeURL = org.vantrel.type.url
//   // ...
//   //     .string "text/plain;charset=utf-8"
//   // ...
//   // NSGeneralPboard = "org.vantrel.pasteboard-name.general"
//
// 66 lines on systems 10.13.0 and later, 62 before (without the URL and
// file-URL lines, which exist from 10.13 on); see
// `operatingSystemVersion()`. Each line is one console line. Stateless;
// thread-safe.
#pragma once

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

void vtPrintConstantValues();

}  // namespace vantrel
