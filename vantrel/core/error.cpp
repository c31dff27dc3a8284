#include "vantrel/core/error.h"

namespace vantrel {

std::string errorDescription(const std::exception& error) {
  if (const auto* own = dynamic_cast<const Error*>(&error)) return own->description();
  return error.what();
}

}  // namespace vantrel
