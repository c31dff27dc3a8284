#include <cstdio>
#include <string>

#include <vantrel/foundation/pasteboard/pasteboard_constant_dump.h>
#include <vantrel/foundation/pasteboard/pasteboard_debug_info.h>
#include <vantrel/foundation/process/process_info.h>
#include <vantrel/foundation/time/date_stamps.h>

#include "tour.h"

using namespace vantrel;

TOUR_SECTION(64, "Environment switches and date stamps") {
  std::printf("developFlag(VANTREL_TOUR_VERBOSE) = %s\n",
              ProcessInfo::developFlag("VANTREL_TOUR_VERBOSE") ? "true" : "false");
  std::printf("sandboxed: %s, running on macOS: %s\n", isSandboxed() ? "yes" : "no",
              ProcessInfo::runningOnMacOS() ? "yes" : "no");
  const Date moment = dateWithTimeIntervalSince1970(978307200.25);
  std::printf("qIso_with: %s\n", qIso_with(moment).c_str());
  std::printf("qYyyyMmDdHhMmSs (local): %s\n", qYyyyMmDdHhMmSs(moment).c_str());
  std::printf("now: %s, today began: %s\n", vtNowStringWithSeconds().c_str(),
              qYyyyMmDdHhMmSs(beginningOfDayDate()).c_str());
  std::printf("22:00 to 06:00 at that moment: %s\n", vtIsTimeBetweenSlang(moment, 2200, 600) ? "yes" : "no");
}

TOUR_SECTION(65, "Pasteboard dumps") {
  Pasteboard board;
  PasteboardItem item;
  item.setString("Hello\x1b[31m red?", PasteboardType::string());
  item.setData(Data{0x89, 'P', 'N', 'G', 0x0D, 0x0A}, PasteboardType::png());
  item.setURL(URL::fileURLWithPath("/tmp/report 1.pdf"));
  board.writeItems({item});
  printDebugInfoAboutTypes(board, false);
  vtPrintConstantValues();
}
