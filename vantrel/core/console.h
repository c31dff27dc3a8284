// File: vantrel/core/console.h
//
// The console sink: every line the library prints goes through here, so a
// line is written whole (one stdio call under the stream's lock, never
// interleaved with another thread's line) and tests can capture it.
//
//   consolePrint("hello");                 // "hello\n" on standard output
//   {
//     ConsoleCapture capture;              // from now on lines go to memory
//     qlog.red("x");
//     EXPECT_EQ(capture.standardOutput(), "\x1b[fg255,0,0;x\x1b[;\n");
//   }                                      // restored
//
// Output shares stdio's buffer with the host's own printf/std::cout, so their
// lines keep their order. Captures nest; while one is active it receives the
// lines of every thread. Thread-safe.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Writes `line` and a line feed to standard output as one unit.
void consolePrint(std::string_view line);

// Writes `line` and a line feed to standard error as one unit.
void consolePrintError(std::string_view line);

// Writes `text` to standard output as one unit, without a line end (a
// print with its own terminator); captured like lines.
void consoleWrite(std::string_view text);

// While alive, console lines are kept in memory instead of being written.
class ConsoleCapture {
 public:
  ConsoleCapture();
  ~ConsoleCapture();
  ConsoleCapture(const ConsoleCapture&) = delete;  // the sink points at this object
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;

  // Everything captured so far, line feeds included.
  [[nodiscard]] std::string standardOutput() const;
  [[nodiscard]] std::string standardError() const;
  // Forgets what was captured so far.
  void clear();

  struct State;

 private:
  std::shared_ptr<State> state_;
  std::shared_ptr<State> previous_;
};

}  // namespace vantrel
