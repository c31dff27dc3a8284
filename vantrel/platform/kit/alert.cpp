#include "vantrel/platform/kit/alert.h"

#include <utility>

#include "vantrel/platform/kit/application.h"
#include "vantrel/platform/kit/window.h"

namespace vantrel {

std::string_view description(AlertStyle style) {
  switch (style) {
    case AlertStyle::warning:
      return "warning";
    case AlertStyle::informational:
      return "informational";
    case AlertStyle::critical:
      return "critical";
  }
  return "unknown";
}

Alert::Ptr Alert::create() { return Ptr(new Alert()); }

Button::Ptr Alert::addButtonWithTitle(std::string title) {
  Button::Ptr button = Button::create();
  button->setTitle(std::move(title));
  buttons_.push_back(button);
  return button;
}

std::optional<ModalResponse> Alert::responseForButtonTitled(std::string_view title) const {
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    if (buttons_[i]->title() == title) return kAlertFirstButtonReturn + static_cast<ModalResponse>(i);
  }
  return std::nullopt;
}

void Alert::addOkButtonWhenNone() {
  if (buttons_.empty()) addButtonWithTitle("OK");
}

ModalResponse Alert::runModal() {
  addOkButtonWhenNone();
  // A copy: the hook may replace itself while it answers.
  const Application::ModalHook hook = Application::shared()->modalHook();
  if (!hook) return kModalResponseAbort;
  const Ptr self = shared_from_this();  // the hook may drop the caller's reference
  return hook(*this);
}

void Alert::beginSheetModal(Window& window, std::function<void(ModalResponse)> completionHandler) {
  addOkButtonWhenNone();
  window.sheets_.push_back(Window::Sheet{shared_from_this(), std::move(completionHandler)});
}

// Window's sheets live here, beside the alerts they hold.

Alert::Ptr Window::attachedSheet() const { return sheets_.empty() ? nullptr : sheets_.front().alert; }

bool Window::endSheet(ModalResponse response) {
  if (sheets_.empty()) return false;
  // Taken off first, so the handler may begin another sheet or drop the window.
  Sheet ended = std::move(sheets_.front());
  sheets_.pop_front();
  if (ended.completionHandler) ended.completionHandler(response);
  return true;
}

Application::ModalHook Application::setModalHook(ModalHook hook) { return std::exchange(modalHook_, std::move(hook)); }

ScopedModalHook::ScopedModalHook(std::function<ModalResponse(Alert&)> hook)
    : previous_(Application::shared()->setModalHook(std::move(hook))) {}

ScopedModalHook::~ScopedModalHook() { Application::shared()->setModalHook(std::move(previous_)); }

}  // namespace vantrel
