// File: vantrel/platform/graphics/dragging_image_component.h
//
// `DraggingImageComponent`: one layer of the image shown under the pointer
// while an item is dragged: a key naming its part ("icon", "label"), its
// contents (an image) and its frame in the dragging item's coordinates.
//
//   auto icon = DraggingImageComponent::create(DraggingImageComponent::iconKey);
//   icon->setContents(image);
//   icon->setFrame(Rect(0, 0, 32, 32));
//
// A mutable object held by `Ptr`; one thread at a time.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "vantrel/platform/graphics/image.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class DraggingImageComponent {
 public:
  using Ptr = std::shared_ptr<DraggingImageComponent>;

  static constexpr std::string_view iconKey = "icon";
  static constexpr std::string_view labelKey = "label";

  // Any key is taken as it is.
  [[nodiscard]] static Ptr create(std::string key) { return Ptr(new DraggingImageComponent(std::move(key))); }

  DraggingImageComponent(const DraggingImageComponent&) = delete;
  DraggingImageComponent& operator=(const DraggingImageComponent&) = delete;

  [[nodiscard]] const std::string& key() const { return key_; }
  void setKey(std::string key) { key_ = std::move(key); }
  // Null until set.
  [[nodiscard]] const Image::Ptr& contents() const { return contents_; }
  void setContents(Image::Ptr contents) { contents_ = std::move(contents); }
  [[nodiscard]] Rect frame() const { return frame_; }
  void setFrame(Rect frame) { frame_ = frame; }

 private:
  explicit DraggingImageComponent(std::string key) : key_(std::move(key)) {}

  std::string key_;
  Image::Ptr contents_;
  Rect frame_;
};

}  // namespace vantrel
