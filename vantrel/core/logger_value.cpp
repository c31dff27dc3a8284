#include "vantrel/core/logger_value.h"

#include "vantrel/core/error.h"

namespace vantrel {

void VtLogger::error(std::optional<std::string_view> message, const std::exception& error) const {
  if (message) {
    log_->error(LogText(*message));
  } else {
    log_->error(LogText(errorDescription(error)));
  }
}

}  // namespace vantrel
