#include "vantrel/foundation/pasteboard/pasteboard_constant_dump.h"

#include <string>
#include <string_view>

#include "vantrel/core/console.h"
#include "vantrel/platform/foundation/pasteboard/pasteboard.h"
#include "vantrel/platform/foundation/process/operating_system_version.h"

namespace vantrel {

namespace {

namespace ids = pasteboard_identifiers;

void typeListLine(std::string_view label, std::string_view value) {
  consolePrint("\t" + std::string(label) + " \"" + std::string(value) + "\"");
}

void namedLine(std::string_view label, std::string_view value) {
  consolePrint(std::string(label) + " = \"" + std::string(value) + "\"");
}

}  // namespace

void vtPrintConstantValues() {
  const bool modern = isOperatingSystemAtLeast({10, 13, 0});

  consolePrint("Standard Pasteboard Names:");
  consolePrint("kUTTypeURL = " + std::string(ids::kUTTypeURL));
  consolePrint("kUTTypeFileURL = " + std::string(ids::kUTTypeFileURL));
  consolePrint("\t.fileNameType(forPathExtension: \"jpg\") = \"" + PasteboardType::fileNameType("jpg").rawValue() +
               "\"");
  consolePrint("\t.fileContentsType(forPathExtension: \"jpg\") = \"" +
               PasteboardType::fileContentsType("jpg").rawValue() + "\"");
  consolePrint("even newer: 10.13 environment compiled under 10.12:");
  consolePrint("NSPasteboard.PasteboardType.");
  typeListLine(".string", ids::NSPasteboardTypeString);
  typeListLine(".pdf", ids::NSPasteboardTypePDF);
  typeListLine(".tiff", ids::NSPasteboardTypeTIFF);
  typeListLine(".png", ids::NSPasteboardTypePNG);
  typeListLine(".rtf", ids::NSPasteboardTypeRTF);
  typeListLine(".rtfd", ids::NSPasteboardTypeRTFD);
  typeListLine(".html", ids::NSPasteboardTypeHTML);
  typeListLine(".tabularText", ids::NSPasteboardTypeTabularText);
  typeListLine(".font", ids::NSPasteboardTypeFont);
  typeListLine(".ruler", ids::NSPasteboardTypeRuler);
  typeListLine(".color", ids::NSPasteboardTypeColor);
  typeListLine(".sound", ids::NSPasteboardTypeSound);
  typeListLine(".multipleTextSelection", ids::NSPasteboardTypeMultipleTextSelection);
  typeListLine(".textFinderOptions", ids::NSPasteboardTypeTextFinderOptions);
  if (modern) {
    typeListLine(".URL", ids::NSPasteboardTypeURL);
    typeListLine(".fileURL", ids::NSPasteboardTypeFileURL);
  }
  typeListLine(".postScript", ids::NSPostScriptPboardType);
  typeListLine(".vCard", ids::NSVCardPboardType);
  typeListLine(".inkText", ids::NSInkTextPboardType);
  typeListLine(".fileContents", ids::NSFileContentsPboardType);

  consolePrint("----------------------------------------------");
  namedLine("NSGeneralPboard", modern ? ids::NSPasteboardNameGeneral : ids::NSGeneralPboard);
  namedLine("NSFontPboard", modern ? ids::NSPasteboardNameFont : ids::NSFontPboard);
  namedLine("NSRulerPboard", modern ? ids::NSPasteboardNameRuler : ids::NSRulerPboard);
  namedLine("NSFindPboard", modern ? ids::NSPasteboardNameFind : ids::NSFindPboard);
  namedLine("NSDragPboard", modern ? ids::NSPasteboardNameDrag : ids::NSDragPboard);

  consolePrint("New names:");
  namedLine("NSPasteboard.PasteboardType.string", ids::NSPasteboardTypeString);
  namedLine("NSPasteboardTypePDF", ids::NSPasteboardTypePDF);
  namedLine("NSPasteboardTypeTIFF", ids::NSPasteboardTypeTIFF);
  namedLine("NSPasteboard.PasteboardType.png", ids::NSPasteboardTypePNG);
  namedLine("NSPasteboardTypeRTF", ids::NSPasteboardTypeRTF);
  namedLine("NSPasteboardTypeRTFD", ids::NSPasteboardTypeRTFD);
  namedLine("NSPasteboardTypeHTML", ids::NSPasteboardTypeHTML);
  namedLine("NSPasteboardTypeTabularText", ids::NSPasteboardTypeTabularText);
  namedLine("NSPasteboardTypeFont", ids::NSPasteboardTypeFont);
  namedLine("NSPasteboardTypeRuler", ids::NSPasteboardTypeRuler);
  namedLine("NSPasteboardTypeColor", ids::NSPasteboardTypeColor);
  namedLine("NSPasteboardTypeSound", ids::NSPasteboardTypeSound);
  namedLine("NSPasteboardTypeMultipleTextSelection", ids::NSPasteboardTypeMultipleTextSelection);
  namedLine("NSPasteboardTypeTextFinderOptions", ids::NSPasteboardTypeTextFinderOptions);

  consolePrint("Old names:");
  namedLine("NSStringPboardType", ids::NSStringPboardType);
  if (modern) {
    namedLine("NSURLPboardType", ids::NSURLPboardType);
    namedLine("NSFilenamesPboardType", ids::NSFilenamesPboardType);
  }
  namedLine("NSTIFFPboardType", ids::NSTIFFPboardType);
  namedLine("NSRTFPboardType", ids::NSRTFPboardType);
  namedLine("NSTabularTextPboardType", ids::NSTabularTextPboardType);
  namedLine("NSFontPboardType", ids::NSFontPboardType);
  namedLine("NSRulerPboardType", ids::NSRulerPboardType);
  namedLine("NSColorPboardType", ids::NSColorPboardType);
  namedLine("NSRTFDPboardType", ids::NSRTFDPboardType);
  namedLine("NSHTMLPboardType", ids::NSHTMLPboardType);
  namedLine("NSPDFPboardType", ids::NSPDFPboardType);
  namedLine("NSMultipleTextSelectionPboardType", ids::NSMultipleTextSelectionPboardType);
  namedLine("NSPostScriptPboardType", ids::NSPostScriptPboardType);
  namedLine("NSVCardPboardType", ids::NSVCardPboardType);
  namedLine("NSInkTextPboardType", ids::NSInkTextPboardType);
  namedLine("NSFilesPromisePboardType", ids::NSFilesPromisePboardType);
}

}  // namespace vantrel
