#include "vantrel/platform/desktop/system_pasteboard.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/foundation/files_test_support.h"
#include "tests/foundation_x11/xclip_runner.h"
#include "tests/support/xvfb_server.h"
#include "vantrel/platform/desktop/internal/selection_server.h"
#include "clipboard_manager.h"  // last: the X headers define None, Bool, Status...

namespace vantrel {
namespace {

// Threads writing the general pasteboard while others read the desktop's
// clipboard through their own pasteboard (so through the serving thread):
// every read sees a whole value one of the writers wrote, and afterwards
// another program pastes what this program reads.
TEST(SystemPasteboardWritesConcurrency, WritersAndReadersShareTheServedClipboard) {
  if (testing::findXclip().empty()) GTEST_SKIP() << "xclip is not installed; X11 clipboard test skipped";
  std::string whyNot;
  auto server = testing::XvfbServer::start(whyNot);
  if (!server) GTEST_SKIP() << whyNot << "; X11 clipboard test skipped";
  testing::ScopedEnv display("DISPLAY", server->displayName());
  auto& general = dynamic_cast<SystemPasteboard&>(Pasteboard::general());
  const auto valueOf = [](int writer, int round) {
    return "writer " + std::to_string(writer) + " round " + std::to_string(round) + std::string(40'000, 'x');
  };
  {
    std::atomic<int> wrong{0};
    std::atomic<bool> writing{true};
    std::vector<std::thread> readers;
    for (int r = 0; r < 2; ++r) {
      readers.emplace_back([&] {
        SystemPasteboard other(server->displayName());
        while (writing) {
          const auto text = other.stringForType(PasteboardType::string());
          if (text && (text->size() < 40'000 || !text->starts_with("writer "))) ++wrong;
        }
      });
    }
    std::vector<std::thread> writers;
    for (int w = 0; w < 3; ++w) {
      writers.emplace_back([&, w] {
        for (int round = 0; round < 10; ++round) {
          PasteboardItem item;
          item.setString(valueOf(w, round), PasteboardType::string());
          general.clearContents();
          general.writeItems({item});
          // Another writer may have cleared it since; whatever is there is whole.
          const auto back = general.stringForType(PasteboardType::string());
          if (back && (back->size() < 40'000 || !back->starts_with("writer "))) ++wrong;
        }
      });
    }
    for (auto& t : writers) t.join();
    writing = false;
    for (auto& t : readers) t.join();
    EXPECT_EQ(wrong.load(), 0);
  }
  ASSERT_TRUE(general.ownsDesktopClipboard());
  const auto ours = general.stringForType(PasteboardType::string());
  ASSERT_TRUE(ours);
  EXPECT_EQ(testing::runXclip(server->displayName(), {"-selection", "clipboard", "-o"}).output, *ours);
  // With no display named, clearing closes the connection, before the
  // server stops.
  testing::ScopedEnv noDisplay("DISPLAY", std::nullopt);
  general.clearContents();
}

// Handovers to the clipboard manager asked from one thread while others
// take the clipboard with new text: the connection thread runs one at a
// time, answering the manager's reads in the middle of a handover, so the
// manager keeps a whole value each time, and the server's end hands over
// once more.
TEST(SystemPasteboardWritesConcurrency, HandOversWhileOtherThreadsTakeTheClipboard) {
  std::string whyNot;
  auto server = testing::XvfbServer::start(whyNot);
  if (!server) GTEST_SKIP() << whyNot << "; X11 clipboard test skipped";
  testing::ClipboardManager manager(server->displayName(), false);
  ASSERT_TRUE(manager.owning());
  // Limits no busy machine reaches, so every handover ends with the manager's answer.
  desktop_internal::SelectionServer::Limits limits;
  limits.handOverLimit = std::chrono::seconds(20);
  limits.commandLimit = std::chrono::seconds(60);
  auto selection = desktop_internal::SelectionServer::open(server->displayName(), limits);
  ASSERT_TRUE(selection);
  const auto valueOf = [](int writer, int round) {
    return "writer " + std::to_string(writer) + " round " + std::to_string(round) + std::string(1000, 'x');
  };
  const auto whole = [](const std::optional<std::string>& text) {
    return text && text->starts_with("writer ") && text->ends_with(std::string(1000, 'x'));
  };
  std::atomic<int> handed{0};
  std::atomic<int> wrong{0};
  {
    std::vector<std::thread> threads;
    for (int w = 0; w < 3; ++w) {
      threads.emplace_back([&, w] {
        for (int round = 0; round < 5; ++round) {
          const std::string text = valueOf(w, round);
          if (!selection->own({{"UTF8_STRING", std::make_shared<const Data>(text.begin(), text.end())}})) ++wrong;
        }
      });
    }
    threads.emplace_back([&] {
      for (int i = 0; i < 4; ++i) {
        if (selection->handOverToClipboardManager()) {
          ++handed;
          if (!whole(manager.saved())) ++wrong;
        }
      }
    });
    for (auto& t : threads) t.join();
  }
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(manager.saveRequests(), handed.load());
  selection.reset();
  EXPECT_EQ(manager.saveRequests(), handed.load() + 1);
  EXPECT_TRUE(whole(manager.saved()));
}

}  // namespace
}  // namespace vantrel
