#include "vantrel/core/console.h"

#include <cstdio>
#include <mutex>
#include <string>

namespace vantrel {

struct ConsoleCapture::State {
  mutable std::mutex mutex;
  std::string out;
  std::string err;
};

namespace {

struct Sink {
  std::mutex mutex;
  std::shared_ptr<ConsoleCapture::State> capture;
};

Sink& sink() {
  static Sink* instance = new Sink;  // never destroyed: lines may be printed during exit
  return *instance;
}

std::shared_ptr<ConsoleCapture::State> currentCapture() {
  Sink& s = sink();
  std::lock_guard lock(s.mutex);
  return s.capture;
}

void emit(std::string_view line, bool error, bool lineEnd = true) {
  if (auto capture = currentCapture()) {
    std::lock_guard lock(capture->mutex);
    std::string& target = error ? capture->err : capture->out;
    target.append(line);
    if (lineEnd) target.push_back('\n');
    return;
  }
  std::FILE* stream = error ? stderr : stdout;
  // One locked stdio sequence per line: other threads' lines cannot cut in.
  ::flockfile(stream);
  std::fwrite(line.data(), 1, line.size(), stream);
  if (lineEnd) std::fputc('\n', stream);
  ::funlockfile(stream);
}

}  // namespace

void consolePrint(std::string_view line) { emit(line, false); }

void consolePrintError(std::string_view line) { emit(line, true); }

void consoleWrite(std::string_view text) { emit(text, false, false); }

ConsoleCapture::ConsoleCapture() : state_(std::make_shared<State>()) {
  Sink& s = sink();
  std::lock_guard lock(s.mutex);
  previous_ = s.capture;
  s.capture = state_;
}

ConsoleCapture::~ConsoleCapture() {
  Sink& s = sink();
  std::lock_guard lock(s.mutex);
  s.capture = previous_;
}

std::string ConsoleCapture::standardOutput() const {
  std::lock_guard lock(state_->mutex);
  return state_->out;
}

std::string ConsoleCapture::standardError() const {
  std::lock_guard lock(state_->mutex);
  return state_->err;
}

void ConsoleCapture::clear() {
  std::lock_guard lock(state_->mutex);
  state_->out.clear();
  state_->err.clear();
}

}  // namespace vantrel
