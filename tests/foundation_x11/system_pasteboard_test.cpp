#include "vantrel/platform/desktop/system_pasteboard.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/foundation/files_test_support.h"
#include "tests/support/xvfb_server.h"
#include "vantrel/core/console.h"
#include "vantrel/foundation/pasteboard/pasteboard_debug_info.h"
#include "clipboard_owner.h"  // last: the X headers define None, Bool, Status...

namespace vantrel {
namespace {

using testing::ClipboardOwner;
using testing::ScopedEnv;
using Clock = std::chrono::steady_clock;

std::string clipboards(std::string_view ending) {
  std::string out;
  for (int i = 0; i < 32; ++i) out += "\U0001F4CB";
  return out + std::string(ending);
}

std::vector<std::string> linesOf(const std::string& out) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(out.substr(start, end - start));
  }
  return lines;
}

std::vector<std::uint8_t> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

// 300 KB that start like a PNG file: more than one INCR chunk.
std::vector<std::uint8_t> pngBytes() {
  std::vector<std::uint8_t> bytes = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  bytes.resize(300 * 1024);
  for (std::size_t i = 8; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  return bytes;
}

constexpr std::string_view kText = "Hello, clipboard \xE2\x9C\x93";
constexpr std::string_view kUriList = "file:///tmp/a%20b.txt\r\n# a comment\r\nfile:///tmp/c.txt\r\n";

class SystemPasteboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string whyNot;
    server = testing::XvfbServer::start(whyNot);
    if (!server) GTEST_SKIP() << whyNot << "; X11 clipboard test skipped";
    display = std::make_unique<ScopedEnv>("DISPLAY", server->displayName());
  }
  void TearDown() override {
    // The clients go before the server.
    owner.reset();
  }

  std::vector<ClipboardOwner::Offer> desktopOffers() const {
    return {{"UTF8_STRING", bytesOf(kText)},
            {"STRING", bytesOf("Hello, clipboard ?")},
            {"text/plain;charset=utf-8", bytesOf(kText)},
            {"text/uri-list", bytesOf(kUriList)},
            {"image/png", pngBytes()}};
  }

  std::unique_ptr<testing::XvfbServer> server;
  std::unique_ptr<ScopedEnv> display;
  std::unique_ptr<ClipboardOwner> owner;
};

TEST_F(SystemPasteboardTest, TheGeneralPasteboardDumpShowsWhatTheDesktopClipboardHolds) {
  owner = std::make_unique<ClipboardOwner>(server->displayName(), desktopOffers());
  ASSERT_TRUE(owner->owning());
  const std::string cwd = std::filesystem::current_path().string();
  const std::vector<std::uint8_t> png = pngBytes();

  ConsoleCapture capture;
  printDebugInfoAboutTypes(Pasteboard::general(), false);
  const std::string typeList = "[\"0: text/plain;charset=utf-8\", \"1: text/uri-list\", \"2: image/png\"]";
  const std::vector<std::string> expected = {
      clipboards("\\/"),
      "Found 1 items and 3 types.",
      "Items:",
      "\U0001F516 PasteboardItem(types: [\"text/plain;charset=utf-8\", \"text/uri-list\", \"image/png\"]):",
      typeList,
      "0: \U0001F6A1\U0001F6A1 Type text/plain;charset=utf-8",
      "data = 20 bytes <48656c6c 6f2c2063 6c697062 6f617264 20e29c93>",
      "----",
      "string = Hello, clipboard \xE2\x9C\x93",
      "url.path = " + cwd + "/Hello, clipboard \xE2\x9C\x93",
      "----",
      "1: \U0001F6A1\U0001F6A1 Type text/uri-list",
      "data = 55 bytes " + dataDescription(bytesOf(kUriList)),
      "----",
      "string = file:///tmp/a%20b.txt\\u{D}\\u{A}# a comment\\u{D}\\u{A}file:///tmp/c.txt\\u{D}\\u{A}",
      "url.path = " + cwd + "/file:/tmp/a%20b.txt\\u{D}\\u{A}# a comment\\u{D}\\u{A}file:/tmp/c.txt\\u{D}\\u{A}",
      "----",
      "2: \U0001F6A1\U0001F6A1 Type image/png",
      "data = 307200 bytes, showing first 400 bytes: " +
          dataDescription(std::span<const std::uint8_t>(png.data(), 400)),
      "----",
      "-------------",
      "======================",
      "Types:",
      typeList,
      std::string(61, '='),
      "--> 0:text/plain;charset=utf-8:",
      "String >>Optional(\"Hello, clipboard \xE2\x9C\x93\")<<",
      std::string(61, '='),
      "--> 1:text/uri-list:",
      "file:///tmp/a%20b.txt Optional(\"/tmp/a b.txt\")",
      "file:///tmp/c.txt Optional(\"/tmp/c.txt\")",
      std::string(61, '='),
      "--> 2:image/png:",
      "Not yet figured out",
      clipboards("/\\"),
  };
  EXPECT_EQ(linesOf(capture.standardOutput()), expected);
}

TEST_F(SystemPasteboardTest, LargeDataArrivesWholeThroughIncrementalTransfer) {
  owner = std::make_unique<ClipboardOwner>(server->displayName(), desktopOffers());
  ASSERT_TRUE(owner->owning());
  SystemPasteboard board(server->displayName());
  const auto data = board.dataForType(PasteboardType::png());
  ASSERT_TRUE(data);
  EXPECT_EQ(*data, pngBytes());
  EXPECT_EQ(board.stringForType(PasteboardType::string()), std::string(kText));
  EXPECT_EQ(board.propertyListForType(PasteboardType::png()), std::nullopt);
  EXPECT_EQ(board.dataForType(PasteboardType::html()), std::nullopt);
}

TEST_F(SystemPasteboardTest, AnOwnerThatNeverAnswersGivesNoDataWithinTheBound) {
  SystemPasteboard board(server->displayName());
  board.writeItems({[] {
    PasteboardItem item;
    item.setString("in memory", PasteboardType::string());
    return item;
  }()});
  // Copied elsewhere after our write: the silent program owns the clipboard.
  owner = std::make_unique<ClipboardOwner>(server->displayName(), desktopOffers(), true);
  ASSERT_TRUE(owner->owning());

  const auto start = Clock::now();
  const auto types = board.types();
  const auto firstAnswer = Clock::now() - start;
  ASSERT_TRUE(types);
  EXPECT_TRUE(types->empty());
  EXPECT_GE(firstAnswer, std::chrono::milliseconds(900));
  EXPECT_LT(firstAnswer, std::chrono::milliseconds(1900));
  EXPECT_GE(owner->requestsSeen(), 1);

  // The silent owner is not waited for again right away.
  const auto again = Clock::now();
  EXPECT_EQ(board.stringForType(PasteboardType::string()), std::nullopt);
  const auto items = board.pasteboardItems();
  ASSERT_TRUE(items);
  EXPECT_TRUE(items->empty());
  EXPECT_LT(Clock::now() - again, std::chrono::milliseconds(500));
}

// An X server that stops answering (here, a stopped process) holds a read's
// own thread, not the caller: each answer is waited for at most the limit,
// and while that read still waits the next ones answer at once.
TEST_F(SystemPasteboardTest, AStoppedServerHoldsNoReaderLongerThanTheAnswerLimit) {
  constexpr auto kLimit = std::chrono::milliseconds(400);
  SystemPasteboard board(server->displayName(), kLimit);
  board.writeItems({[] {
    PasteboardItem item;
    item.setString("in memory", PasteboardType::string());
    return item;
  }()});
  ASSERT_TRUE(board.ownsDesktopClipboard());
  server->pause();

  auto start = Clock::now();
  const auto types = board.types();
  EXPECT_LT(Clock::now() - start, kLimit + std::chrono::milliseconds(600));
  ASSERT_TRUE(types);
  EXPECT_TRUE(types->empty());
  start = Clock::now();
  EXPECT_EQ(board.stringForType(PasteboardType::string()), std::nullopt);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(300));

  // Once the server answers again, so do reads.
  server->resume();
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  std::optional<std::string> text;
  while (!text && Clock::now() < deadline) {
    text = board.stringForType(PasteboardType::string());
    if (!text) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(text, "in memory");
}

TEST_F(SystemPasteboardTest, WithoutAnOwnerTheInMemoryModelAnswers) {
  SystemPasteboard board(server->displayName());
  PasteboardItem item;
  item.setString("kept here", PasteboardType::string());
  board.writeItems({item});
  EXPECT_EQ(board.types(), std::optional(std::vector<PasteboardType>{PasteboardType::string()}));
  EXPECT_EQ(board.stringForType(PasteboardType::string()), "kept here");
  const auto items = board.pasteboardItems();
  ASSERT_TRUE(items);
  EXPECT_EQ(items->size(), 1u);
}

// What this process wrote was replaced by the other owner's copy; once that
// owner leaves, the clipboard is empty for this process as for every other
// program, not the older copy back.
TEST_F(SystemPasteboardTest, TheOwnerLeavingLeavesTheClipboardEmpty) {
  SystemPasteboard board(server->displayName());
  PasteboardItem item;
  item.setString("kept here", PasteboardType::string());
  board.writeItems({item});
  owner = std::make_unique<ClipboardOwner>(server->displayName(), desktopOffers());
  ASSERT_TRUE(owner->owning());
  EXPECT_EQ(board.stringForType(PasteboardType::string()), std::string(kText));
  owner.reset();
  EXPECT_EQ(board.stringForType(PasteboardType::string()), std::nullopt);
  EXPECT_EQ(board.types(), std::optional(std::vector<PasteboardType>{}));
}

}  // namespace
}  // namespace vantrel
