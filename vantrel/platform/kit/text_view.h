// File: vantrel/platform/kit/text_view.h
//
// `TextView`: a view over a `TextStorage` (text_storage.h), made with one
// that it keeps for its whole life.
//
//   auto view = TextView::create(Rect(0, 0, 300, 80));
//   view->setString("Hello");
//   view->textStorage()->runs()      {{0, 5}, {}}
//
// `setString` replaces the whole text, its attributes going with it. The
// headless kit lays out and draws nothing. Main-thread objects: not
// thread-safe.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/text_storage.h"
#include "vantrel/platform/kit/view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class TextView : public View {
 public:
  using Ptr = std::shared_ptr<TextView>;

  [[nodiscard]] static Ptr create(Rect frame = Rect());

  // Never null.
  [[nodiscard]] const TextStorage::Ptr& textStorage() const { return textStorage_; }
  [[nodiscard]] const std::string& string() const { return textStorage_->string(); }
  void setString(std::string_view text) { textStorage_->setString(text); }

 protected:
  explicit TextView(Rect frame) : View(frame) {}

 private:
  TextStorage::Ptr textStorage_ = TextStorage::create();
};

}  // namespace vantrel
