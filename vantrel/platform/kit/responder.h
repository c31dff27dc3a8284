// File: vantrel/platform/kit/responder.h
//
// `Responder`: an object in a chain that events and actions travel along:
// views, windows and their controllers. Each one names the next responder
// (held weakly, so a chain never keeps its members alive) and says whether
// it may become a window's first responder.
//
//   view->nextResponder()            // its superview, else its window
//   window->makeFirstResponder(field)   // only when field accepts it
//
// Subclasses refine `nextResponder()` (a view answers its superview when
// nothing was set), `acceptsFirstResponder()` (false here) and
// `description()`. `className()` is the dynamic class name without
// namespaces ("View", "Window"). Main-thread objects: not thread-safe.
#pragma once

#include <memory>
#include <string>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Event;

class Responder {
 public:
  virtual ~Responder();

  // The next responder while it is alive; null at the end of the chain.
  [[nodiscard]] virtual std::shared_ptr<Responder> nextResponder() const { return next_.lock(); }
  void setNextResponder(const std::shared_ptr<Responder>& next) { next_ = next; }
  [[nodiscard]] virtual bool acceptsFirstResponder() const { return false; }

  // The dynamic class name without namespaces or template arguments.
  [[nodiscard]] virtual std::string className() const;
  // "<Responder: 0x00005612a4b0c2d0>", the address as 16 hexadecimal digits.
  [[nodiscard]] virtual std::string description() const;

  // --- Mouse ------------------------------------------------------------------------
  // A click (button pressed), the pointer entering or leaving a tracking
  // area (view.h). By default each is passed to the next responder, so an
  // event nobody handles runs off the end of the chain.
  virtual void mouseDown(const Event& event);
  virtual void mouseEntered(const Event& event);
  virtual void mouseExited(const Event& event);

 protected:
  Responder() = default;
  // Identity is the object: a copy would sit nowhere in a chain.
  Responder(const Responder&) = delete;
  Responder& operator=(const Responder&) = delete;

  // The responder set with `setNextResponder` while it is alive, whatever a
  // subclass answers.
  [[nodiscard]] std::shared_ptr<Responder> explicitNextResponder() const { return next_.lock(); }

 private:
  std::weak_ptr<Responder> next_;
};

}  // namespace vantrel
