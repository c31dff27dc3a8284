// File: vantrel/core/data.h
//
// `Data`: a byte buffer, the library's form of the platform's data value.
// It lives in core so that modules below foundation (collections) can take
// and return bytes without depending on it.
//
//   Data bytes{0xA1, 0x23};
#pragma once

#include <cstdint>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

using Data = std::vector<std::uint8_t>;

}  // namespace vantrel
