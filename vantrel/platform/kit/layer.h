// File: vantrel/platform/kit/layer.h
//
// `Layer`: the backing layer of a layer-backed view. The headless kit keeps
// what a snapshot paints from it: an optional background colour, filled over
// the view's bounds before the view draws.
//
//   view->setWantsLayer(true);
//   view->layer()->setBackgroundColor(Color::redColor());
//   view->layer()->backgroundColor()       // red; null once cleared
//
// Held by `std::shared_ptr`; the view owns its layer. Main-thread objects:
// not thread-safe.
#pragma once

#include <memory>

#include "vantrel/core/color.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Layer {
 public:
  using Ptr = std::shared_ptr<Layer>;

  [[nodiscard]] static Ptr create() { return Ptr(new Layer()); }

  Layer(const Layer&) = delete;
  Layer& operator=(const Layer&) = delete;

  // Null when the layer has no background colour (the initial state).
  [[nodiscard]] const Color::Ptr& backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(Color::Ptr color) { backgroundColor_ = std::move(color); }

 private:
  Layer() = default;
  Color::Ptr backgroundColor_;
};

}  // namespace vantrel
