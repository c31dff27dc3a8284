// Internal: include "vantrel/json/json.h" instead.
//
// The block of an opaque value: made by `PlatformValue`, freed with the
// other blocks (json_storage.cpp).
#pragma once

#include "vantrel/json/internal/json_storage.h"
#include "vantrel/json/platform_value.h"

namespace vantrel {

struct PlatformValue::OpaqueBlock {
  json_internal::BlockHeader header;
  JsonOpaque value;
};

}  // namespace vantrel
