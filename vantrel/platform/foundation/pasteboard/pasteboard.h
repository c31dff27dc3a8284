// File: vantrel/platform/foundation/pasteboard/pasteboard.h
//
// An in-memory pasteboard: named pasteboards holding items, each item
// offering data, a string, a property-list value or a URL object under
// pasteboard types. Types and names are identifier values; the library's
// own identifiers are in `pasteboard_identifiers` below (MIME types where one
// exists), where an old name has the identifier of its replacement.
//
//   Pasteboard board;
//   PasteboardItem item;
//   item.setString("Hello", PasteboardType::string());
//   item.setData(Data{0x89, 0x50}, PasteboardType::png());
//   board.writeItems({item});
//   board.types()                                 {"text/plain;charset=utf-8", "image/png"}
//   board.stringForType(PasteboardType::string()) "Hello"
//   dataDescription(Data{0x48, 0x65, 0x6c, 0x6c, 0x6f})   "<48656c6c 6f>"
//
// The pasteboard's types are its items' types in order of first offer; its
// reads answer from the first item offering the type. `setTypesAbsent` and
// `setItemsAbsent` make `types()` / `pasteboardItems()` answer nothing, as a
// failing platform read would. The reads are virtual so a test can stand in
// for a pasteboard that changes between reads. A pasteboard may be read and
// written from several threads.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "vantrel/core/data.h"
#include "vantrel/platform/foundation/files/url.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The identifiers behind the pasteboard's named types and names.
namespace pasteboard_identifiers {

inline constexpr std::string_view kUTTypeURL = "org.vantrel.type.url";
inline constexpr std::string_view kUTTypeFileURL = "org.vantrel.type.file-url";

inline constexpr std::string_view NSPasteboardTypeString = "text/plain;charset=utf-8";
inline constexpr std::string_view NSPasteboardTypePDF = "application/pdf";
inline constexpr std::string_view NSPasteboardTypeTIFF = "image/tiff";
inline constexpr std::string_view NSPasteboardTypePNG = "image/png";
inline constexpr std::string_view NSPasteboardTypeRTF = "text/rtf";
inline constexpr std::string_view NSPasteboardTypeRTFD = "org.vantrel.pasteboard.rtfd";
inline constexpr std::string_view NSPasteboardTypeHTML = "text/html";
inline constexpr std::string_view NSPasteboardTypeTabularText = "text/tab-separated-values";
inline constexpr std::string_view NSPasteboardTypeFont = "org.vantrel.pasteboard.font";
inline constexpr std::string_view NSPasteboardTypeRuler = "org.vantrel.pasteboard.ruler";
inline constexpr std::string_view NSPasteboardTypeColor = "org.vantrel.pasteboard.color";
inline constexpr std::string_view NSPasteboardTypeSound = "org.vantrel.pasteboard.sound";
inline constexpr std::string_view NSPasteboardTypeMultipleTextSelection =
    "org.vantrel.pasteboard.multiple-text-selection";
inline constexpr std::string_view NSPasteboardTypeTextFinderOptions = "org.vantrel.pasteboard.text-finder-options";
inline constexpr std::string_view NSPasteboardTypeURL = "org.vantrel.pasteboard.url";
inline constexpr std::string_view NSPasteboardTypeFileURL = "text/uri-list";

// Older types without a current replacement.
inline constexpr std::string_view NSPostScriptPboardType = "application/postscript";
inline constexpr std::string_view NSVCardPboardType = "text/vcard";
inline constexpr std::string_view NSInkTextPboardType = "org.vantrel.pasteboard.ink-text";
inline constexpr std::string_view NSFileContentsPboardType = "org.vantrel.pasteboard.file-contents";
inline constexpr std::string_view NSFilesPromisePboardType = "org.vantrel.pasteboard.files-promise";

// Older names of current types.
inline constexpr std::string_view NSStringPboardType = NSPasteboardTypeString;
inline constexpr std::string_view NSURLPboardType = NSPasteboardTypeURL;
inline constexpr std::string_view NSFilenamesPboardType = NSPasteboardTypeFileURL;
inline constexpr std::string_view NSTIFFPboardType = NSPasteboardTypeTIFF;
inline constexpr std::string_view NSRTFPboardType = NSPasteboardTypeRTF;
inline constexpr std::string_view NSTabularTextPboardType = NSPasteboardTypeTabularText;
inline constexpr std::string_view NSFontPboardType = NSPasteboardTypeFont;
inline constexpr std::string_view NSRulerPboardType = NSPasteboardTypeRuler;
inline constexpr std::string_view NSColorPboardType = NSPasteboardTypeColor;
inline constexpr std::string_view NSRTFDPboardType = NSPasteboardTypeRTFD;
inline constexpr std::string_view NSHTMLPboardType = NSPasteboardTypeHTML;
inline constexpr std::string_view NSPDFPboardType = NSPasteboardTypePDF;
inline constexpr std::string_view NSMultipleTextSelectionPboardType = NSPasteboardTypeMultipleTextSelection;

// Per-extension types: the prefix followed by the path extension.
inline constexpr std::string_view fileNameTypePrefix = "org.vantrel.pasteboard.file-name.";
inline constexpr std::string_view fileContentsTypePrefix = "org.vantrel.pasteboard.file-contents.";

// Pasteboard names, and their older names.
inline constexpr std::string_view NSPasteboardNameGeneral = "org.vantrel.pasteboard-name.general";
inline constexpr std::string_view NSPasteboardNameFont = "org.vantrel.pasteboard-name.font";
inline constexpr std::string_view NSPasteboardNameRuler = "org.vantrel.pasteboard-name.ruler";
inline constexpr std::string_view NSPasteboardNameFind = "org.vantrel.pasteboard-name.find";
inline constexpr std::string_view NSPasteboardNameDrag = "org.vantrel.pasteboard-name.drag";
inline constexpr std::string_view NSGeneralPboard = NSPasteboardNameGeneral;
inline constexpr std::string_view NSFontPboard = NSPasteboardNameFont;
inline constexpr std::string_view NSRulerPboard = NSPasteboardNameRuler;
inline constexpr std::string_view NSFindPboard = NSPasteboardNameFind;
inline constexpr std::string_view NSDragPboard = NSPasteboardNameDrag;

}  // namespace pasteboard_identifiers

// A pasteboard type: an identifier value. Its text form is the identifier.
class PasteboardType {
 public:
  explicit PasteboardType(std::string rawValue) : rawValue_(std::move(rawValue)) {}
  explicit PasteboardType(std::string_view rawValue) : rawValue_(rawValue) {}
  explicit PasteboardType(const char* rawValue) : rawValue_(rawValue) {}

  [[nodiscard]] const std::string& rawValue() const { return rawValue_; }
  [[nodiscard]] const std::string& description() const { return rawValue_; }
  friend bool operator==(const PasteboardType&, const PasteboardType&) = default;

  [[nodiscard]] static PasteboardType string() { return PasteboardType(pasteboard_identifiers::NSPasteboardTypeString); }
  [[nodiscard]] static PasteboardType pdf() { return PasteboardType(pasteboard_identifiers::NSPasteboardTypePDF); }
  [[nodiscard]] static PasteboardType tiff() { return PasteboardType(pasteboard_identifiers::NSPasteboardTypeTIFF); }
  [[nodiscard]] static PasteboardType png() { return PasteboardType(pasteboard_identifiers::NSPasteboardTypePNG); }
  [[nodiscard]] static PasteboardType rtf() { return PasteboardType(pasteboard_identifiers::NSPasteboardTypeRTF); }
  [[nodiscard]] static PasteboardType rtfd() { return PasteboardType(pasteboard_identifiers::NSPasteboardTypeRTFD); }
  [[nodiscard]] static PasteboardType html() { return PasteboardType(pasteboard_identifiers::NSPasteboardTypeHTML); }
  [[nodiscard]] static PasteboardType tabularText() {
    return PasteboardType(pasteboard_identifiers::NSPasteboardTypeTabularText);
  }
  [[nodiscard]] static PasteboardType font() { return PasteboardType(pasteboard_identifiers::NSPasteboardTypeFont); }
  [[nodiscard]] static PasteboardType ruler() { return PasteboardType(pasteboard_identifiers::NSPasteboardTypeRuler); }
  [[nodiscard]] static PasteboardType color() { return PasteboardType(pasteboard_identifiers::NSPasteboardTypeColor); }
  [[nodiscard]] static PasteboardType sound() { return PasteboardType(pasteboard_identifiers::NSPasteboardTypeSound); }
  [[nodiscard]] static PasteboardType multipleTextSelection() {
    return PasteboardType(pasteboard_identifiers::NSPasteboardTypeMultipleTextSelection);
  }
  [[nodiscard]] static PasteboardType textFinderOptions() {
    return PasteboardType(pasteboard_identifiers::NSPasteboardTypeTextFinderOptions);
  }
  [[nodiscard]] static PasteboardType URL() { return PasteboardType(pasteboard_identifiers::NSPasteboardTypeURL); }
  [[nodiscard]] static PasteboardType fileURL() {
    return PasteboardType(pasteboard_identifiers::NSPasteboardTypeFileURL);
  }
  // The type of file names, or of file contents, with that path extension.
  [[nodiscard]] static PasteboardType fileNameType(std::string_view pathExtension);
  [[nodiscard]] static PasteboardType fileContentsType(std::string_view pathExtension);

  // `fileURL()` on systems 10.13.0 and later, else the type of
  // `kUTTypeFileURL`; decided at the first read and kept for the process
  // (once, also under concurrent first reads).
  [[nodiscard]] static PasteboardType fileURL_backwardsCompatible10_12();

 private:
  std::string rawValue_;
};

// The name of a pasteboard: an identifier value.
class PasteboardName {
 public:
  explicit PasteboardName(std::string rawValue) : rawValue_(std::move(rawValue)) {}
  explicit PasteboardName(std::string_view rawValue) : rawValue_(rawValue) {}

  [[nodiscard]] const std::string& rawValue() const { return rawValue_; }
  [[nodiscard]] const std::string& description() const { return rawValue_; }
  friend bool operator==(const PasteboardName&, const PasteboardName&) = default;

  [[nodiscard]] static PasteboardName general() { return PasteboardName(pasteboard_identifiers::NSPasteboardNameGeneral); }
  [[nodiscard]] static PasteboardName font() { return PasteboardName(pasteboard_identifiers::NSPasteboardNameFont); }
  [[nodiscard]] static PasteboardName ruler() { return PasteboardName(pasteboard_identifiers::NSPasteboardNameRuler); }
  [[nodiscard]] static PasteboardName find() { return PasteboardName(pasteboard_identifiers::NSPasteboardNameFind); }
  [[nodiscard]] static PasteboardName drag() { return PasteboardName(pasteboard_identifiers::NSPasteboardNameDrag); }

 private:
  std::string rawValue_;
};

// "<" + the bytes in lower-case hexadecimal, a blank after every four bytes
// except the last group, + ">": "<48656c6c 6f>"; "<>" for no bytes.
[[nodiscard]] std::string dataDescription(std::span<const std::uint8_t> bytes);

// A property-list value as the pasteboard hands it out: the name of its
// class and its description.
class PropertyList {
 public:
  PropertyList(std::string className, std::string description)
      : className_(std::move(className)), description_(std::move(description)) {}
  [[nodiscard]] const std::string& className() const { return className_; }
  [[nodiscard]] const std::string& description() const { return description_; }
  friend bool operator==(const PropertyList&, const PropertyList&) = default;

 private:
  std::string className_;
  std::string description_;
};

// The classes whose objects a pasteboard can read.
enum class PasteboardReadableClass { url, string };

// An object read from a pasteboard: a URL or a string.
class PasteboardObject {
 public:
  PasteboardObject(vantrel::URL url) : value_(std::move(url)) {}              // NOLINT
  PasteboardObject(std::string string) : value_(std::move(string)) {}         // NOLINT
  // The URL, or null when the object is not one.
  [[nodiscard]] const vantrel::URL* url() const { return std::get_if<vantrel::URL>(&value_); }
  [[nodiscard]] const std::string* string() const { return std::get_if<std::string>(&value_); }
  // The URL's "file://" form, or the string itself.
  [[nodiscard]] std::string description() const;
  friend bool operator==(const PasteboardObject&, const PasteboardObject&) = default;

 private:
  std::variant<vantrel::URL, std::string> value_;
};

class PasteboardItem {
 public:
  // Each offers the value under `type`, replacing an earlier value of the
  // same kind; a new type joins the end of `types()`.
  void setData(Data data, const PasteboardType& type);
  void setString(std::string string, const PasteboardType& type);
  void setPropertyList(PropertyList value, const PasteboardType& type);
  // The URL object under the file-URL type (read back by
  // `readObjectsForClasses`), and its "file://" text as that type's string.
  void setURL(const vantrel::URL& url);
  // Lists `type` without a value (a type offered but not delivered); a type
  // already listed keeps its values.
  void addType(const PasteboardType& type);

  [[nodiscard]] std::vector<PasteboardType> types() const;
  [[nodiscard]] std::optional<Data> dataForType(const PasteboardType& type) const;
  [[nodiscard]] std::optional<std::string> stringForType(const PasteboardType& type) const;
  [[nodiscard]] std::optional<PropertyList> propertyListForType(const PasteboardType& type) const;
  [[nodiscard]] const std::optional<vantrel::URL>& urlObject() const { return url_; }

  // "PasteboardItem(types: [\"text/plain;charset=utf-8\"])"
  [[nodiscard]] std::string description() const;

 private:
  struct Entry {
    PasteboardType type;
    std::optional<Data> data;
    std::optional<std::string> string;
    std::optional<PropertyList> propertyList;
  };
  Entry& entryFor(const PasteboardType& type);
  [[nodiscard]] const Entry* findEntry(const PasteboardType& type) const;

  std::vector<Entry> entries_;
  std::optional<vantrel::URL> url_;
};

class Pasteboard {
 public:
  explicit Pasteboard(PasteboardName name = PasteboardName::general()) : name_(std::move(name)) {}
  virtual ~Pasteboard() = default;
  Pasteboard(const Pasteboard&) = delete;  // a shared place, not a value
  Pasteboard& operator=(const Pasteboard&) = delete;

  [[nodiscard]] const PasteboardName& name() const { return name_; }

  // Removes every item.
  virtual void clearContents();
  // Appends the items.
  virtual void writeItems(std::vector<PasteboardItem> items);
  void setTypesAbsent(bool absent);
  void setItemsAbsent(bool absent);

  // The items' types in order of first offer, no repeats.
  [[nodiscard]] virtual std::optional<std::vector<PasteboardType>> types() const;
  [[nodiscard]] virtual std::optional<std::vector<PasteboardItem>> pasteboardItems() const;
  // From the first item that offers the value under `type`.
  [[nodiscard]] virtual std::optional<Data> dataForType(const PasteboardType& type) const;
  [[nodiscard]] virtual std::optional<PropertyList> propertyListForType(const PasteboardType& type) const;
  [[nodiscard]] virtual std::optional<std::string> stringForType(const PasteboardType& type) const;
  // The items' URL objects (for `url`) and plain strings (for `string`), in
  // item order; nothing when the items are absent.
  [[nodiscard]] virtual std::optional<std::vector<PasteboardObject>> readObjectsForClasses(
      const std::vector<PasteboardReadableClass>& classes) const;

  // The process's general pasteboard: in a program that links the desktop
  // module (desktop, kit or a module above them), the desktop's clipboard
  // when a display opens (vantrel/platform/desktop/system_pasteboard.h);
  // else the in-memory model. Created on first use, never destroyed.
  [[nodiscard]] static Pasteboard& general();

  // "<Pasteboard: " + the name + ">" (the drag-and-drop dump prints it).
  [[nodiscard]] std::string description() const { return "<Pasteboard: " + name_.rawValue() + ">"; }

 private:
  PasteboardName name_;
  mutable std::mutex mutex_;
  std::vector<PasteboardItem> items_;
  bool typesAbsent_ = false;
  bool itemsAbsent_ = false;
};

namespace foundation_internal {
// Forgets the kept `fileURL_backwardsCompatible10_12`, so the next read
// decides again.
void resetFileURLBackwardsCompatibleForTesting();
}  // namespace foundation_internal

// The desktop's general pasteboard, defined by the desktop module.
// `Pasteboard::general()` looks for it at its first call (a weak reference:
// foundation does not depend on desktop), so no library sets anything up as
// it loads. A program that links desktop compiles with
// VANTREL_LINKS_DESKTOP (the CMake target and the .pc file set it); then
// each file that includes this header refers to the symbol, so the linker
// keeps the desktop library even under --as-needed, where a program that
// calls only `Pasteboard::general()` would otherwise lose it.
extern "C" Pasteboard* vantrel_desktop_general_pasteboard();

#if defined(VANTREL_LINKS_DESKTOP)
namespace {
[[gnu::used]] Pasteboard* (*const linksDesktopGeneralPasteboard)() = &vantrel_desktop_general_pasteboard;
}  // namespace
#endif

}  // namespace vantrel
