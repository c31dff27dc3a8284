#include "vantrel/text/padding.h"

#include "vantrel/core/checked.h"
#include "vantrel/text/characters.h"

namespace vantrel {

std::string paddedLeft(std::string_view self, std::int64_t width, std::string_view pad) {
  if (pad.empty() || width <= 0) return std::string(self);
  const std::int64_t count = characterCount(self);
  if (count >= width) return std::string(self);
  const std::int64_t copies = width - count;
  std::string out;
  out.reserve(static_cast<std::size_t>(checkedAdd(checkedMul(copies, static_cast<std::int64_t>(pad.size())),
                         static_cast<std::int64_t>(self.size()))));
  for (std::int64_t i = 0; i < copies; ++i) out.append(pad);
  out.append(self);
  return out;
}

}  // namespace vantrel
