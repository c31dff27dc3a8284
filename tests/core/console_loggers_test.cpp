#include "vantrel/core/console_loggers.h"

#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "tests/core/console_test_support.h"
#include "vantrel/core/console.h"
#include "vantrel/core/error.h"

namespace vantrel {
namespace {

using Colour = void (QLogging::*)(const LogText&) const;

struct ColourCase {
  const char* name;
  Colour op;
  const char* qlogCode;
  const char* ansiCode;
};

const ColourCase kColours[] = {
    {"red", &QLogging::red, "fg255,0,0;", "0;31m"},
    {"green", &QLogging::green, "fg0,255,0;", "0;32m"},
    {"blue", &QLogging::blue, "fg0,0,255;", "0;34m"},
    {"lightRed", &QLogging::lightRed, "fg255,0,0;", "1;31m"},
    {"lightGreen", &QLogging::lightGreen, "fg0,255,0;", "1;32m"},
    {"lightBlue", &QLogging::lightBlue, "fg0,0,255;", "1;34m"},
    {"yellow", &QLogging::yellow, "fg255,255,0;", "1;33m"},
    {"purple", &QLogging::purple, "fg255,0,255;", "0;35m"},
    {"lightPurple", &QLogging::lightPurple, "fg255,0,255;", "1;35m"},
    {"brown", &QLogging::brown, "fg139,69,19;", "0;33m"},
    {"cyan", &QLogging::cyan, "fg0,255,255;", "0;36m"},
    {"lightCyan", &QLogging::lightCyan, "fg0,255,255;", "1;36m"},
    {"darkGray", &QLogging::darkGray, "fg40,40,40;", "1;30m"},
    {"lightGray", &QLogging::lightGray, "fgb0,b0,b0;", "0;37m"},
};

using testing::printed;

std::string qlogLine(std::string_view code, std::string_view text) {
  return "\x1b[" + std::string(code) + std::string(text) + "\x1b[;\n";
}
std::string ansiLine(std::string_view code, std::string_view text) {
  return "\x1b[" + std::string(code) + std::string(text) + "\x1b[0m\n";
}

TEST(ConsoleLoggers, EveryColourOfEveryLogger) {
  for (const ColourCase& c : kColours) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(printed([&] { (qlogging.*c.op)("text"); }), "text\n");
    EXPECT_EQ(printed([&] { (qlog.*c.op)("text"); }), qlogLine(c.qlogCode, "text"));
    EXPECT_EQ(printed([&] { (qansilog.*c.op)("text"); }), ansiLine(c.ansiCode, "text"));
  }
}

TEST(ConsoleLoggers, ExactBytesOfRed) {
  EXPECT_EQ(printed([] { qlog.red("red"); }), "\x1b\x5b" "fg255,0,0;red\x1b\x5b\x3b\x0a");
  EXPECT_EQ(printed([] { qansilog.red("red"); }), "\x1b\x5b" "0;31mred\x1b\x5b" "0m\x0a");
  EXPECT_EQ(printed([] { qlog.red(""); }), "\x1b[fg255,0,0;\x1b[;\n");
}

TEST(ConsoleLoggers, ValuesPrintByTheirDescription) {
  EXPECT_EQ(printed([] { qlog.green(42); }), qlogLine("fg0,255,0;", "42"));
  EXPECT_EQ(printed([] { qansilog.blue(2.0); }), ansiLine("0;34m", "2.0"));
  EXPECT_EQ(printed([] { qlogging.cyan(std::vector<int>{1, 2}); }), "[1, 2]\n");
}

TEST(ConsoleLoggers, TextWithLineFeedsIsPrintedUnchanged) {
  EXPECT_EQ(printed([] { qlogging.red("a\nb"); }), "a\nb\n");
}

TEST(ConsoleLoggers, Levels) {
  EXPECT_EQ(printed([] { qlogging.error("error"); }), "Error:error\n");
  EXPECT_EQ(printed([] { qlogging.severe("severe"); }), "Severe:severe\n");
  EXPECT_EQ(printed([] { qlogging.warning("warning"); }), "Warning:warning\n");
  EXPECT_EQ(printed([] { qlog.error("e"); }), qlogLine("fg255,0,0;", "e"));
  EXPECT_EQ(printed([] { qlog.severe("s"); }), qlogLine("fg255,0,255;", "s"));
  EXPECT_EQ(printed([] { qlog.warning("w"); }), qlogLine("fg255,255,0;", "w"));
  EXPECT_EQ(printed([] { qansilog.error("e"); }), printed([] { qansilog.red("e"); }));
  EXPECT_EQ(printed([] { qansilog.severe("s"); }), printed([] { qansilog.purple("s"); }));
  EXPECT_EQ(printed([] { qansilog.warning("w"); }), printed([] { qansilog.yellow("w"); }));
}

TEST(ConsoleLoggers, ErrorWithAnError) {
  const std::runtime_error failure("disk full");
  EXPECT_EQ(printed([&] { qlogging.error("saving", failure); }), "Error:saving\n");
  EXPECT_EQ(printed([&] { qlogging.error(std::nullopt, failure); }), "Error:disk full\n");
  EXPECT_EQ(printed([&] { qlog.error("saving", failure); }),
            "\x1b[fg255,0,0;saving:disk full\x1b[;\n");
  EXPECT_EQ(printed([&] { qlog.error(failure); }), qlogLine("fg255,0,0;", "Error:disk full"));
  EXPECT_EQ(printed([&] { qansilog.error("saving", failure); }), ansiLine("0;31m", "saving:disk full"));
  EXPECT_EQ(printed([&] { qansilog.error(std::nullopt, failure); }),
            ansiLine("0;31m", "Error:disk full"));
  // The library's own errors show their description.
  EXPECT_EQ(printed([] { qlog.error("x", Error("cannotCreateFile")); }),
            qlogLine("fg255,0,0;", "x:cannotCreateFile"));
}

TEST(ConsoleLoggers, IfError) {
  const std::runtime_error failure("bad");
  for (const QLogging* logger : {&qlogging, static_cast<const QLogging*>(&qlog),
                                 static_cast<const QLogging*>(&qansilog)}) {
    ConsoleCapture capture;
    EXPECT_FALSE(logger->iferror("ignored", nullptr));
    EXPECT_FALSE(logger->iferror(std::nullopt, nullptr));
    EXPECT_EQ(capture.standardOutput(), "");
  }
  bool answered = false;
  EXPECT_EQ(printed([&] { answered = qlogging.iferror("m", &failure); }), "Error:m\n");
  EXPECT_TRUE(answered);
  EXPECT_EQ(printed([&] { qlogging.iferror(std::nullopt, &failure); }), "Error:bad\n");
  EXPECT_EQ(printed([&] { qlog.iferror("m", &failure); }), qlogLine("fg255,0,0;", "m:bad"));
  EXPECT_EQ(printed([&] { qlog.iferror(std::nullopt, &failure); }),
            qlogLine("fg255,0,0;", "Error:bad"));
  EXPECT_EQ(printed([&] { qansilog.iferror("m", &failure); }), ansiLine("0;31m", "m:bad"));
}

TEST(ConsoleLoggers, TestOutput) {
  std::string want;
  for (const ColourCase& c : kColours) want += qlogLine(c.qlogCode, c.name);
  want += qlogLine("fg255,0,0;", "error");
  want += qlogLine("fg255,0,255;", "severe");
  want += qlogLine("fg255,255,0;", "warning");
  EXPECT_EQ(printed([] { qlog.testOutput(); }), want);

  std::string plain;
  for (const ColourCase& c : kColours) plain += std::string(c.name) + "\n";
  plain += "Error:error\nSevere:severe\nWarning:warning\n";
  EXPECT_EQ(printed([] { qlogging.testOutput(); }), plain);

  std::string ansi;
  for (const ColourCase& c : kColours) ansi += ansiLine(c.ansiCode, c.name);
  ansi += ansiLine("0;31m", "error") + ansiLine("0;35m", "severe") + ansiLine("1;33m", "warning");
  EXPECT_EQ(printed([] { qansilog.testOutput(); }), ansi);
}

TEST(ConsoleLoggers, HandlesUseTheStyleTheyHold) {
  const QLogging& ansiHandle = qansilog;
  const QLogging& plainHandle = qlogging;
  EXPECT_EQ(printed([&] { ansiHandle.red("x"); }), ansiLine("0;31m", "x"));
  EXPECT_EQ(printed([&] { plainHandle.red("x"); }), "x\n");
}

// A further subclass that restyles red: the ANSI logger's levels and
// testOutput print through it; the 24-bit logger's levels print directly.
class ShoutingAnsi : public QAnsiLog {
 public:
  using QAnsiLog::red;
  void red(const LogText& value) const override { consolePrint("RED:" + std::string(value.view())); }
};
class ShoutingQLog : public QLog {
 public:
  void red(const LogText& value) const override { consolePrint("RED:" + std::string(value.view())); }
  void error(const LogText& text) const override { consolePrint("ERR:" + std::string(text.view())); }
};

TEST(ConsoleLoggers, OverridesTakeEffectThroughHandles) {
  const ShoutingAnsi shouting;
  const QLogging& handle = shouting;
  const std::runtime_error failure("bad");
  EXPECT_EQ(printed([&] { handle.red("x"); }), "RED:x\n");
  EXPECT_EQ(printed([&] { handle.error("x"); }), "RED:x\n");
  EXPECT_EQ(printed([&] { handle.error("m", failure); }), "RED:m:bad\n");
  EXPECT_EQ(printed([&] { handle.iferror(std::nullopt, &failure); }), "RED:Error:bad\n");
  EXPECT_EQ(printed([&] { handle.green("g"); }), ansiLine("0;32m", "g"));
  const std::string out = printed([&] { handle.testOutput(); });
  EXPECT_EQ(out.substr(0, 8), "RED:red\n");
  EXPECT_NE(out.find("RED:error\n"), std::string::npos);

  const ShoutingQLog q;
  const QLogging& qHandle = q;
  EXPECT_EQ(printed([&] { qHandle.error("x"); }), "ERR:x\n");
  EXPECT_EQ(printed([&] { qHandle.error("m", failure); }), "ERR:m:bad\n");
  // iferror prints its red line itself, past any override.
  EXPECT_EQ(printed([&] { qHandle.iferror("m", &failure); }), qlogLine("fg255,0,0;", "m:bad"));
  EXPECT_EQ(printed([&] { qHandle.severe("s"); }), qlogLine("fg255,0,255;", "s"));
}

}  // namespace
}  // namespace vantrel
