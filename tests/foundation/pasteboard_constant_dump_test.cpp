#include "vantrel/foundation/pasteboard/pasteboard_constant_dump.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/platform/foundation/pasteboard/pasteboard.h"
#include "vantrel/platform/foundation/process/operating_system_version.h"

namespace vantrel {
namespace {

using foundation_internal::ScopedOperatingSystemVersion;

const std::vector<std::string> kModernLines = {
    "Standard Pasteboard Names:",
    "kUTTypeURL = org.vantrel.type.url",
    "kUTTypeFileURL = org.vantrel.type.file-url",
    "\t.fileNameType(forPathExtension: \"jpg\") = \"org.vantrel.pasteboard.file-name.jpg\"",
    "\t.fileContentsType(forPathExtension: \"jpg\") = \"org.vantrel.pasteboard.file-contents.jpg\"",
    "even newer: 10.13 environment compiled under 10.12:",
    "NSPasteboard.PasteboardType.",
    "\t.string \"text/plain;charset=utf-8\"",
    "\t.pdf \"application/pdf\"",
    "\t.tiff \"image/tiff\"",
    "\t.png \"image/png\"",
    "\t.rtf \"text/rtf\"",
    "\t.rtfd \"org.vantrel.pasteboard.rtfd\"",
    "\t.html \"text/html\"",
    "\t.tabularText \"text/tab-separated-values\"",
    "\t.font \"org.vantrel.pasteboard.font\"",
    "\t.ruler \"org.vantrel.pasteboard.ruler\"",
    "\t.color \"org.vantrel.pasteboard.color\"",
    "\t.sound \"org.vantrel.pasteboard.sound\"",
    "\t.multipleTextSelection \"org.vantrel.pasteboard.multiple-text-selection\"",
    "\t.textFinderOptions \"org.vantrel.pasteboard.text-finder-options\"",
    "\t.URL \"org.vantrel.pasteboard.url\"",
    "\t.fileURL \"text/uri-list\"",
    "\t.postScript \"application/postscript\"",
    "\t.vCard \"text/vcard\"",
    "\t.inkText \"org.vantrel.pasteboard.ink-text\"",
    "\t.fileContents \"org.vantrel.pasteboard.file-contents\"",
    "----------------------------------------------",
    "NSGeneralPboard = \"org.vantrel.pasteboard-name.general\"",
    "NSFontPboard = \"org.vantrel.pasteboard-name.font\"",
    "NSRulerPboard = \"org.vantrel.pasteboard-name.ruler\"",
    "NSFindPboard = \"org.vantrel.pasteboard-name.find\"",
    "NSDragPboard = \"org.vantrel.pasteboard-name.drag\"",
    "New names:",
    "NSPasteboard.PasteboardType.string = \"text/plain;charset=utf-8\"",
    "NSPasteboardTypePDF = \"application/pdf\"",
    "NSPasteboardTypeTIFF = \"image/tiff\"",
    "NSPasteboard.PasteboardType.png = \"image/png\"",
    "NSPasteboardTypeRTF = \"text/rtf\"",
    "NSPasteboardTypeRTFD = \"org.vantrel.pasteboard.rtfd\"",
    "NSPasteboardTypeHTML = \"text/html\"",
    "NSPasteboardTypeTabularText = \"text/tab-separated-values\"",
    "NSPasteboardTypeFont = \"org.vantrel.pasteboard.font\"",
    "NSPasteboardTypeRuler = \"org.vantrel.pasteboard.ruler\"",
    "NSPasteboardTypeColor = \"org.vantrel.pasteboard.color\"",
    "NSPasteboardTypeSound = \"org.vantrel.pasteboard.sound\"",
    "NSPasteboardTypeMultipleTextSelection = \"org.vantrel.pasteboard.multiple-text-selection\"",
    "NSPasteboardTypeTextFinderOptions = \"org.vantrel.pasteboard.text-finder-options\"",
    "Old names:",
    "NSStringPboardType = \"text/plain;charset=utf-8\"",
    "NSURLPboardType = \"org.vantrel.pasteboard.url\"",
    "NSFilenamesPboardType = \"text/uri-list\"",
    "NSTIFFPboardType = \"image/tiff\"",
    "NSRTFPboardType = \"text/rtf\"",
    "NSTabularTextPboardType = \"text/tab-separated-values\"",
    "NSFontPboardType = \"org.vantrel.pasteboard.font\"",
    "NSRulerPboardType = \"org.vantrel.pasteboard.ruler\"",
    "NSColorPboardType = \"org.vantrel.pasteboard.color\"",
    "NSRTFDPboardType = \"org.vantrel.pasteboard.rtfd\"",
    "NSHTMLPboardType = \"text/html\"",
    "NSPDFPboardType = \"application/pdf\"",
    "NSMultipleTextSelectionPboardType = \"org.vantrel.pasteboard.multiple-text-selection\"",
    "NSPostScriptPboardType = \"application/postscript\"",
    "NSVCardPboardType = \"text/vcard\"",
    "NSInkTextPboardType = \"org.vantrel.pasteboard.ink-text\"",
    "NSFilesPromisePboardType = \"org.vantrel.pasteboard.files-promise\"",
};

// Before 10.13 the URL and file-URL types do not exist.
std::vector<std::string> olderLines() {
  std::vector<std::string> lines;
  for (const auto& line : kModernLines) {
    if (line.starts_with("\t.URL ") || line.starts_with("\t.fileURL ") || line.starts_with("NSURLPboardType") ||
        line.starts_with("NSFilenamesPboardType")) {
      continue;
    }
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> printedLines() {
  ConsoleCapture capture;
  vtPrintConstantValues();
  std::vector<std::string> lines;
  const std::string out = capture.standardOutput();
  std::size_t start = 0;
  for (std::size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(out.substr(start, end - start));
  }
  EXPECT_EQ(start, out.size()) << "the output ends with a line feed";
  return lines;
}

TEST(PasteboardConstantDumpTest, LinesDependOnTheSystemVersion) {
  struct Case {
    OperatingSystemVersion version;
    std::size_t count;
  };
  const Case cases[] = {{{10, 12, 9}, 62}, {{10, 13, 0}, 66}, {{11, 0, 0}, 66}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.version.majorVersion) + "." + std::to_string(c.version.minorVersion) + "." +
                 std::to_string(c.version.patchVersion));
    ScopedOperatingSystemVersion version(c.version);
    const auto lines = printedLines();
    EXPECT_EQ(lines.size(), c.count);
    EXPECT_EQ(lines, c.count == 66 ? kModernLines : olderLines());
  }
}

TEST(PasteboardConstantDumpTest, TheDefaultSystemHasEveryConstant) {
  EXPECT_TRUE(isOperatingSystemAtLeast({10, 13, 0}));
  EXPECT_EQ(printedLines(), kModernLines);
}

TEST(PasteboardConstantDumpTest, FileURLTypeForAllSystemsIsDecidedOnceByTheVersion) {
  foundation_internal::resetFileURLBackwardsCompatibleForTesting();
  {
    ScopedOperatingSystemVersion version({10, 12, 9});
    EXPECT_EQ(PasteboardType::fileURL_backwardsCompatible10_12(), PasteboardType("org.vantrel.type.file-url"));
  }
  // Kept: a later version does not change it.
  EXPECT_EQ(PasteboardType::fileURL_backwardsCompatible10_12(), PasteboardType("org.vantrel.type.file-url"));
  foundation_internal::resetFileURLBackwardsCompatibleForTesting();
  ScopedOperatingSystemVersion version({10, 13, 0});
  EXPECT_EQ(PasteboardType::fileURL_backwardsCompatible10_12(), PasteboardType::fileURL());
  foundation_internal::resetFileURLBackwardsCompatibleForTesting();
}

TEST(PasteboardConstantDumpTest, OldNamesShareTheIdentifiersOfTheirReplacements) {
  namespace ids = pasteboard_identifiers;
  EXPECT_EQ(ids::NSFilenamesPboardType, PasteboardType::fileURL().rawValue());
  EXPECT_EQ(ids::NSGeneralPboard, PasteboardName::general().rawValue());
  EXPECT_EQ(ids::NSStringPboardType, "text/plain;charset=utf-8");
}

}  // namespace
}  // namespace vantrel
