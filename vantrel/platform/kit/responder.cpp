#include "vantrel/platform/kit/responder.h"

#include <cstdint>
#include <typeinfo>

#include <fmt/format.h>

#include "vantrel/core/describe.h"

namespace vantrel {

Responder::~Responder() = default;

std::string Responder::className() const {
  const std::string full = typeName(typeid(*this));
  const std::size_t templateStart = full.find('<');
  const std::size_t lastScope = full.rfind("::", templateStart);
  return lastScope == std::string::npos ? full : full.substr(lastScope + 2);
}

std::string Responder::description() const {
  return fmt::format("<{}: 0x{:016x}>", className(), reinterpret_cast<std::uintptr_t>(this));
}

void Responder::mouseDown(const Event& event) {
  if (const auto next = nextResponder()) next->mouseDown(event);
}

void Responder::mouseEntered(const Event& event) {
  if (const auto next = nextResponder()) next->mouseEntered(event);
}

void Responder::mouseExited(const Event& event) {
  if (const auto next = nextResponder()) next->mouseExited(event);
}

}  // namespace vantrel
