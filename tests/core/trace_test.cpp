#include "vantrel/core/trace.h"

#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/core/console_test_support.h"
#include "vantrel/core/console.h"

namespace vantrel {
namespace {

// The answers are views into the path: a temporary path is refused.
template <class T>
concept NamesAPath = requires(T&& path) {
  core_internal::fileName(std::forward<T>(path));
  core_internal::fileStem(std::forward<T>(path));
};
static_assert(NamesAPath<const std::string&> && NamesAPath<std::string_view> && NamesAPath<const char*>);
static_assert(!NamesAPath<std::string>);

using core_internal::fileLine;
using core_internal::flowLine;
using core_internal::quotedFileLine;

constexpr const char* kPanel = "/src/ui/Panel.view.cpp";

template <class F>
auto onOtherThread(F f) {
  decltype(f()) result;
  std::thread([&] { result = f(); }).join();
  return result;
}

using testing::printed;

TEST(Trace, FileLine) {
  EXPECT_EQ(fileLine("", kPanel, 42), "🔀MT Panel.view@42: ");
  EXPECT_EQ(fileLine("hi", kPanel, 42), "🔀MT Panel.view@42: hi");
  EXPECT_EQ(onOtherThread([] { return fileLine("hi", kPanel, 42); }), "🔀 Panel.view@42: hi");
}

TEST(Trace, QuotedFileLine) {
  EXPECT_EQ(quotedFileLine("m", kPanel, "layout", 42), "🔀MT \"Panel.view.cpp\"@42: layout: m");
  EXPECT_EQ(onOtherThread([] { return quotedFileLine("", kPanel, "layout", 42); }),
            "🔀 \"Panel.view.cpp\"@42: layout: ");
}

TEST(Trace, FlowLine) {
  EXPECT_EQ(flowLine("", kPanel, "layout", 42), "🍇🍇🍇Panel.view.layout Line:42 [MT]");
  EXPECT_EQ(flowLine("step", kPanel, "layout", 42), "🍇🍇🍇Panel.view.layout Line:42 [MT]: step");
  EXPECT_EQ(onOtherThread([] { return flowLine("", kPanel, "layout", 42); }),
            "🍇🍇🍇Panel.view.layout Line:42 ");
  EXPECT_EQ(onOtherThread([] { return flowLine("step", kPanel, "layout", 42); }),
            "🍇🍇🍇Panel.view.layout Line:42 : step");
}

// The public functions print those lines for the caller's own position.
TEST(Trace, PrintsTheCallersPosition) {
  const SourceLocation here = SourceLocation::current();
  const std::string line = std::to_string(here.line() + 3);
  const std::string out = printed([] {
    qfilelog(); qfilelog("a"); qlinelog("b"); qflow("c"); qflow(); qdebuglog(true, "d");
  });
  // The lambda's own name stands for the function; take it from the first flow line.
  const auto flowStart = out.find("🍇🍇🍇trace_test.");
  ASSERT_NE(flowStart, std::string::npos) << out;
  const auto nameEnd = out.find(" Line:", flowStart);
  const std::string lambda = out.substr(flowStart + std::string("🍇🍇🍇trace_test.").size(),
                                        nameEnd - flowStart - std::string("🍇🍇🍇trace_test.").size());
  EXPECT_EQ(out, "🔀MT trace_test@" + line + ": \n" +
                     "🔀MT trace_test@" + line + ": a\n" +
                     "🔀MT \"trace_test.cpp\"@" + line + ": " + lambda + ": b\n" +
                     "🍇🍇🍇trace_test." + lambda + " Line:" + line + " [MT]: c\n" +
                     "🍇🍇🍇trace_test." + lambda + " Line:" + line + " [MT]\n" +
                     "🔀MT trace_test@" + line + ": d\n");
}

TEST(Trace, QuotedFileLineIgnoresTheColumn) {
  // Same line, different columns.
  const std::string out = printed([] { qlinelog("same"); qlinelog("same"); });
  const auto half = out.size() / 2;
  EXPECT_EQ(out.substr(0, half), out.substr(half));
}

// A position given in full names the operation, not the compiler's
// signature; the column is not printed.
TEST(Trace, QuotedFileLineFromAGivenPosition) {
  EXPECT_EQ(printed([] { qlinelog("(1.0, 2.0)", "/src/Images/Resize.cpp", "vtImageResizedToAspectFit", 7, 13); }),
            "🔀MT \"Resize.cpp\"@7: vtImageResizedToAspectFit: (1.0, 2.0)\n");
  EXPECT_EQ(onOtherThread([] { return printed([] { qlinelog("m", "f.cpp", "g", 1); }); }),
            "🔀 \"f.cpp\"@1: g: m\n");
}

TEST(Trace, FlagsGateTheirLines) {
  EXPECT_EQ(printed([] {
              qdebuglog(false, "x");
              dmprint(false, "x");
              qflow(false, "x");
            }),
            "");
  EXPECT_EQ(printed([] { dmprint(true, "x"); }), "🔀MT x\n");
  EXPECT_EQ(onOtherThread([] { return printed([] { dmprint(true, "x"); }); }), "🔀 x\n");
  EXPECT_NE(printed([] { qflow(true, "x"); }).find("[MT]: x\n"), std::string::npos);
}

TEST(Trace, AStringLiteralIsAMessageNotAFlag) {
  EXPECT_NE(printed([] { qflow("literal"); }).find("[MT]: literal\n"), std::string::npos);
}

TEST(Trace, SystemLogLineIsVerbatimOnStandardError) {
  ConsoleCapture capture;
  qnsflow("100%s %d done");
  EXPECT_EQ(capture.standardOutput(), "");
  const std::string err = capture.standardError();
  const std::string tail = " [MT]: 100%s %d done\n";
  ASSERT_GE(err.size(), tail.size());
  EXPECT_EQ(err.substr(err.size() - tail.size()), tail);
  // "yyyy-MM-dd HH:mm:ss.SSS name[pid:tid] 🍇🍇🍇trace_test..."
  EXPECT_EQ(err[4], '-');
  EXPECT_EQ(err[10], ' ');
  EXPECT_EQ(err[19], '.');
  EXPECT_NE(err.find(" core_tests[" + std::to_string(::getpid()) + ":"), std::string::npos) << err;
  EXPECT_NE(err.find("] 🍇🍇🍇trace_test."), std::string::npos) << err;
}

TEST(Trace, FileNameAndStem) {
  struct Case {
    const char* path;
    const char* name;
    const char* stem;
  };
  const Case cases[] = {
      {"/a/b/Panel.cpp", "Panel.cpp", "Panel"},
      {"Panel.cpp", "Panel.cpp", "Panel"},
      {"/a/archive.tar.gz", "archive.tar.gz", "archive.tar"},
      {"/a/Makefile", "Makefile", "Makefile"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(core_internal::fileName(c.path), c.name);
    EXPECT_EQ(core_internal::fileStem(c.path), c.stem);
  }
  EXPECT_EQ(qCurrentFilename("/x/y.swift"), "/x/y.swift");
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

// Code that traces on behalf of an operation the compiler cannot name ("deinit").
TEST(Trace, NamedFunctionForms) {
  const SourceLocation here = SourceLocation::current();
  const std::string line = std::to_string(here.line() + 3);
  const std::string out = printed([] {
    qlinelog("", "deinit"); qflow("Main", "viewWillAppear()"); qflow("", "deinit");
  });
  EXPECT_EQ(out, "🔀MT \"trace_test.cpp\"@" + line + ": deinit: \n" +
                     "🍇🍇🍇trace_test.viewWillAppear() Line:" + line + " [MT]: Main\n" +
                     "🍇🍇🍇trace_test.deinit Line:" + line + " [MT]\n");
}

TEST(Console, WriteWithoutLineEndIsCapturedLikeLines) {
  ConsoleCapture capture;
  consoleWrite("a, b");
  consoleWrite("");
  consolePrint("c");
  consoleWrite("-");
  EXPECT_EQ(capture.standardOutput(), "a, bc\n-");
  EXPECT_EQ(capture.standardError(), "");
}

}  // namespace
}  // namespace vantrel
