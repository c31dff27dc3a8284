// Writes to the general pasteboard become the desktop's clipboard: other
// programs (xclip) paste them, large values go by incremental transfer, and
// another program copying takes over again.
#include "vantrel/platform/desktop/system_pasteboard.h"

#include <chrono>
#include <cstdint>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/foundation/files_test_support.h"
#include "tests/support/xvfb_server.h"
#include "vantrel/platform/desktop/internal/selection_server.h"
#include "tests/foundation_x11/xclip_runner.h"
#include "clipboard_owner.h"      // last: the X headers define None, Bool, Status...
#include "clipboard_requestor.h"

namespace vantrel {
namespace {

using testing::ClipboardRequestor;
using testing::findXclip;
using testing::runXclip;
using testing::XclipResult;
using testing::ScopedEnv;
using Clock = std::chrono::steady_clock;

std::vector<std::uint8_t> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

// 1.5 MiB that no run of equal bytes or short period hides a lost chunk in.
std::vector<std::uint8_t> largePayload() {
  std::vector<std::uint8_t> bytes(1536 * 1024);
  std::uint32_t x = 12345;
  for (auto& b : bytes) {
    x = x * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(x >> 23);
  }
  return bytes;
}

// With no display named, clearing closes the connection to the one before.
void closeGeneralPasteboardsConnection() {
  ScopedEnv noDisplay("DISPLAY", std::nullopt);
  Pasteboard::general().clearContents();
}

template <typename Condition>
bool eventually(Condition condition) {
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (Clock::now() < deadline) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

class SystemPasteboardWritesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (findXclip().empty()) GTEST_SKIP() << "xclip is not installed; X11 clipboard test skipped";
    std::string whyNot;
    server = testing::XvfbServer::start(whyNot);
    if (!server) GTEST_SKIP() << whyNot << "; X11 clipboard test skipped";
    display = std::make_unique<ScopedEnv>("DISPLAY", server->displayName());
  }
  void TearDown() override {
    // The general pasteboard's connection closes before the server stops.
    if (server) closeGeneralPasteboardsConnection();
  }

  XclipResult paste(std::vector<std::string> args) { return runXclip(server->displayName(), std::move(args)); }

  std::unique_ptr<testing::XvfbServer> server;
  std::unique_ptr<ScopedEnv> display;
};

constexpr std::string_view kText = "Hello from Vantrel \xE2\x9C\x93";
constexpr std::string_view kHtml = "<b>Hello</b>";

PasteboardItem stringItem(std::string_view text) {
  PasteboardItem item;
  item.setString(std::string(text), PasteboardType::string());
  return item;
}

PasteboardItem textItem() {
  PasteboardItem item;
  item.setString(std::string(kText), PasteboardType::string());
  item.setData(bytesOf(kHtml), PasteboardType::html());
  item.setData({1, 2, 3}, PasteboardType::color());  // the library's own identifier: not for other programs
  return item;
}

// The fault: a write only reached the in-memory copy, so other programs
// pasted what they had before and never what this program copied.
TEST_F(SystemPasteboardWritesTest, AnotherProgramPastesWhatWasWritten) {
  auto& general = dynamic_cast<SystemPasteboard&>(Pasteboard::general());
  general.clearContents();
  general.writeItems({textItem()});
  EXPECT_TRUE(general.ownsDesktopClipboard());

  const XclipResult text = paste({"-selection", "clipboard", "-o"});
  EXPECT_EQ(text.exitStatus, 0);
  EXPECT_EQ(text.output, kText);
  const XclipResult targets = paste({"-selection", "clipboard", "-o", "-t", "TARGETS"});
  EXPECT_EQ(targets.exitStatus, 0);
  // The text has no Latin-1 form: TEXT is offered (as UTF-8), STRING is not.
  EXPECT_EQ(targets.output, "TARGETS\nTIMESTAMP\nUTF8_STRING\ntext/plain;charset=utf-8\nTEXT\ntext/html\n");
  EXPECT_EQ(paste({"-selection", "clipboard", "-o", "-t", "text/plain;charset=utf-8"}).output, kText);
  EXPECT_EQ(paste({"-selection", "clipboard", "-o", "-t", "text/html"}).output, kHtml);
  // A target that was not offered is refused.
  const XclipResult png = paste({"-selection", "clipboard", "-o", "-t", "image/png"});
  EXPECT_NE(png.exitStatus, 0);
  EXPECT_EQ(png.output, "");
}

TEST_F(SystemPasteboardWritesTest, WhileItOwnsTheClipboardItReadsItsOwnDataFromMemory) {
  auto& general = Pasteboard::general();
  general.clearContents();
  general.writeItems({textItem()});
  // The colour is never offered to other programs, so it can only come from
  // memory; the same holds for the list of types.
  EXPECT_EQ(general.dataForType(PasteboardType::color()), std::optional(Data{1, 2, 3}));
  EXPECT_EQ(general.types(), std::optional(std::vector<PasteboardType>{
                                 PasteboardType::string(), PasteboardType::html(), PasteboardType::color()}));
  EXPECT_EQ(general.stringForType(PasteboardType::string()), std::string(kText));

  // A second write appends, as in memory; the first item still answers.
  PasteboardItem more;
  more.setString("second", PasteboardType::string());
  more.setData({0x89, 'P', 'N', 'G'}, PasteboardType::png());
  general.writeItems({more});
  EXPECT_EQ(paste({"-selection", "clipboard", "-o"}).output, kText);
  EXPECT_EQ(paste({"-selection", "clipboard", "-o", "-t", "image/png"}).output, "\x89PNG");
}

TEST_F(SystemPasteboardWritesTest, LargeDataGoesByIncrementalTransferInBoundedChunks) {
  const std::vector<std::uint8_t> large = largePayload();
  auto& general = Pasteboard::general();
  general.clearContents();
  PasteboardItem item;
  item.setData(large, PasteboardType::png());
  general.writeItems({item});

  const XclipResult pasted = paste({"-selection", "clipboard", "-o", "-t", "image/png"});
  EXPECT_EQ(pasted.exitStatus, 0);
  EXPECT_TRUE(pasted.output == std::string(large.begin(), large.end())) << "pasted " << pasted.output.size();

  ClipboardRequestor requestor(server->displayName());
  ASSERT_TRUE(requestor.ok());
  const auto answer = requestor.request("image/png");
  EXPECT_EQ(answer.type, "INCR");
  EXPECT_TRUE(answer.bytes == large);
  ASSERT_GE(answer.chunks.size(), 3u);
  EXPECT_EQ(answer.chunks.back(), 0u);
  for (std::size_t size : answer.chunks) EXPECT_LE(size, std::size_t{256} << 10);
}

TEST_F(SystemPasteboardWritesTest, AnotherProgramCopyingTakesTheClipboardOver) {
  auto& general = dynamic_cast<SystemPasteboard&>(Pasteboard::general());
  general.clearContents();
  general.writeItems({textItem()});
  ASSERT_TRUE(general.ownsDesktopClipboard());

  const XclipResult copied = runXclip(server->displayName(), {"-selection", "clipboard", "-i"}, "theirs");
  EXPECT_EQ(copied.exitStatus, 0);
  EXPECT_TRUE(eventually([&] { return general.stringForType(PasteboardType::string()) == "theirs"; }));
  EXPECT_TRUE(eventually([&] { return !general.ownsDesktopClipboard(); }));
  EXPECT_EQ(general.dataForType(PasteboardType::color()), std::nullopt);

  // Writing again takes it back.
  general.clearContents();
  PasteboardItem item;
  item.setString("ours again", PasteboardType::string());
  general.writeItems({item});
  EXPECT_TRUE(general.ownsDesktopClipboard());
  EXPECT_EQ(paste({"-selection", "clipboard", "-o"}).output, "ours again");
}

TEST_F(SystemPasteboardWritesTest, ClearingGivesTheClipboardUp) {
  auto& general = dynamic_cast<SystemPasteboard&>(Pasteboard::general());
  general.writeItems({textItem()});
  ASSERT_TRUE(general.ownsDesktopClipboard());
  general.clearContents();
  EXPECT_FALSE(general.ownsDesktopClipboard());
  ClipboardRequestor requestor(server->displayName());
  ASSERT_TRUE(requestor.ok());
  EXPECT_EQ(requestor.owner(), static_cast<Window>(None));
  EXPECT_NE(paste({"-selection", "clipboard", "-o"}).exitStatus, 0);
  EXPECT_EQ(general.types(), std::optional(std::vector<PasteboardType>{}));
}

TEST_F(SystemPasteboardWritesTest, WithoutADisplayWritesStayInMemory) {
  ScopedEnv noDisplay("DISPLAY", std::nullopt);
  SystemPasteboard board;
  PasteboardItem item;
  item.setString("only here", PasteboardType::string());
  board.writeItems({item});
  EXPECT_FALSE(board.ownsDesktopClipboard());
  EXPECT_EQ(board.stringForType(PasteboardType::string()), "only here");
  ClipboardRequestor requestor(server->displayName());
  ASSERT_TRUE(requestor.ok());
  EXPECT_EQ(requestor.owner(), static_cast<Window>(None));
}

// Programs that ask only for ICCCM's older text targets paste too: STRING
// is the Latin-1 form, offered only when the text has one; TEXT is sent as
// STRING then, else as UTF8_STRING.
TEST_F(SystemPasteboardWritesTest, TextIsAlsoOfferedAsStringAndText) {
  struct Case {
    std::string_view text;
    std::string_view targets;
    std::optional<std::string> string;  // what `-t STRING` pastes; none: refused
    std::string_view textType;
    std::string textBytes;
  };
  const Case cases[] = {
      {"caf\xC3\xA9 \xC2\xBD", "TARGETS\nTIMESTAMP\nUTF8_STRING\ntext/plain;charset=utf-8\nSTRING\nTEXT\n",
       "caf\xE9 \xBD", "STRING", "caf\xE9 \xBD"},
      {"plain", "TARGETS\nTIMESTAMP\nUTF8_STRING\ntext/plain;charset=utf-8\nSTRING\nTEXT\n", "plain", "STRING",
       "plain"},
      {"done \xE2\x9C\x93", "TARGETS\nTIMESTAMP\nUTF8_STRING\ntext/plain;charset=utf-8\nTEXT\n", std::nullopt,
       "UTF8_STRING", "done \xE2\x9C\x93"},
  };
  auto& general = Pasteboard::general();
  ClipboardRequestor requestor(server->displayName());
  ASSERT_TRUE(requestor.ok());
  for (const Case& c : cases) {
    general.clearContents();
    general.writeItems({stringItem(c.text)});
    EXPECT_EQ(paste({"-selection", "clipboard", "-o", "-t", "TARGETS"}).output, c.targets) << c.text;
    const XclipResult string = paste({"-selection", "clipboard", "-o", "-t", "STRING"});
    if (c.string) {
      EXPECT_EQ(string.exitStatus, 0) << c.text;
      EXPECT_EQ(string.output, *c.string) << c.text;
    } else {
      EXPECT_NE(string.exitStatus, 0) << c.text;
    }
    const auto text = requestor.request("TEXT");
    EXPECT_EQ(text.type, c.textType) << c.text;
    EXPECT_EQ(std::string(text.bytes.begin(), text.bytes.end()), c.textBytes) << c.text;
    EXPECT_EQ(paste({"-selection", "clipboard", "-o"}).output, c.text);
  }
}

// Another client's take can sit unhandled in the queue when the process
// takes the selection again. Holding the X server makes that order certain:
// the take's wait for the server's time is held back while the other client
// takes the selection, so the stale SelectionClear comes first. The new take
// must still serve what it offered.
TEST_F(SystemPasteboardWritesTest, ATakeServesItsOffersAfterAStaleSelectionClear) {
  using desktop_internal::SelectionServer;
  const auto offer = [](std::string_view text) {
    return desktop_internal::SelectionOffer{"UTF8_STRING", std::make_shared<const Data>(bytesOf(text))};
  };
  auto selection = SelectionServer::open(server->displayName());
  ASSERT_TRUE(selection);
  ASSERT_TRUE(selection->own({offer("first")}));

  Display* other = XOpenDisplay(server->displayName().c_str());
  ASSERT_NE(other, nullptr);
  const Window otherWindow = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);
  const Atom clipboard = XInternAtom(other, "CLIPBOARD", False);
  XGrabServer(other);
  XSync(other, False);
  auto taken = std::async(std::launch::async, [&] { return selection->own({offer("second")}); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the take waits on the held server
  XSetSelectionOwner(other, clipboard, otherWindow, CurrentTime);
  XUngrabServer(other);
  XSync(other, False);
  EXPECT_TRUE(taken.get());
  XCloseDisplay(other);

  EXPECT_TRUE(selection->owns());
  ClipboardRequestor requestor(server->displayName());
  ASSERT_TRUE(requestor.ok());
  EXPECT_EQ(requestor.owner(), static_cast<Window>(selection->window()));
  EXPECT_EQ(paste({"-selection", "clipboard", "-o", "-t", "TARGETS"}).output, "TARGETS\nTIMESTAMP\nUTF8_STRING\n");
  EXPECT_EQ(paste({"-selection", "clipboard", "-o"}).output, "second");
}

// What another program copied replaces what this one had written: a write
// without clearContents starts from empty (the other program's items are not
// ours to add to), and while nobody serves the clipboard the replaced model
// is not read back. The process's own reads and other programs' agree.
TEST_F(SystemPasteboardWritesTest, AWriteAfterAnotherProgramCopiedStartsFromEmpty) {
  auto& general = dynamic_cast<SystemPasteboard&>(Pasteboard::general());
  general.clearContents();
  general.writeItems({stringItem("second")});
  {
    testing::ClipboardOwner theirs(server->displayName(), {{"UTF8_STRING", bytesOf("theirs")}});
    ASSERT_TRUE(theirs.owning());
    EXPECT_TRUE(eventually([&] { return general.stringForType(PasteboardType::string()) == "theirs"; }));
  }
  // Their owner has gone: the clipboard is empty, not "second" again.
  EXPECT_TRUE(eventually([&] { return general.types() == std::optional(std::vector<PasteboardType>{}); }));
  EXPECT_EQ(general.stringForType(PasteboardType::string()), std::nullopt);

  general.clearContents();
  general.writeItems({stringItem("second")});
  ASSERT_EQ(runXclip(server->displayName(), {"-selection", "clipboard", "-i"}, "xclip's").exitStatus, 0);
  ASSERT_TRUE(eventually([&] { return paste({"-selection", "clipboard", "-o"}).output == "xclip's"; }));
  general.writeItems({stringItem("third")});
  EXPECT_TRUE(general.ownsDesktopClipboard());
  EXPECT_EQ(paste({"-selection", "clipboard", "-o"}).output, "third");
  EXPECT_EQ(general.stringForType(PasteboardType::string()), "third");
  EXPECT_EQ(general.pasteboardItems()->size(), 1u);
}

TEST_F(SystemPasteboardWritesTest, AReaderThatVanishesMidTransferIsGivenUp) {
  using desktop_internal::SelectionServer;
  SelectionServer::Limits limits;
  limits.chunkSize = 64 * 1024;
  limits.transferStall = std::chrono::milliseconds(300);
  auto selection = SelectionServer::open(server->displayName(), limits);
  ASSERT_TRUE(selection);
  const auto large = std::make_shared<const Data>(largePayload());
  ASSERT_TRUE(selection->own({{"application/octet-stream", large}}));
  {
    ClipboardRequestor requestor(server->displayName());
    ASSERT_TRUE(requestor.ok());
    EXPECT_EQ(requestor.request("application/octet-stream", false).type, "INCR");
    EXPECT_TRUE(eventually([&] { return selection->activeTransfers() == 1; }));
    requestor.close();
  }
  const auto start = Clock::now();
  EXPECT_TRUE(eventually([&] { return selection->activeTransfers() == 0; }));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
  // Other readers are still served.
  ClipboardRequestor next(server->displayName());
  const auto answer = next.request("application/octet-stream");
  EXPECT_TRUE(answer.bytes == *large);
  EXPECT_EQ(answer.chunks.size(), large->size() / limits.chunkSize + 1);
  EXPECT_TRUE(selection->owns());
  selection.reset();
  EXPECT_EQ(next.owner(), static_cast<Window>(None));
}

}  // namespace
}  // namespace vantrel
