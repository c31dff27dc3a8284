#include "vantrel/appkit/text_view_links.h"

#include "vantrel/foundation/net/link_extraction.h"

namespace vantrel {
namespace {

void addParagraphStyle(TextStorage& storage, LineBreakMode lineBreakMode) {
  ParagraphStyle style;
  style.lineBreakMode = lineBreakMode;
  storage.addAttribute(AttributedStringKey::paragraphStyle, style, Utf16Range{0, storage.length()});
}

}  // namespace

void setStringAndHighlightLinks(TextView& self, std::string_view text, LineBreakMode lineBreakMode) {
  self.setString(text);
  TextStorage& storage = *self.textStorage();
  // The storage's own copy: ill-formed bytes have become U+FFFD there, and
  // the ranges must count its units.
  const std::vector<DetectedLinkUtf16> links = detectLinksUtf16(storage.string());
  storage.beginEditing();
  for (const auto& link : links) storage.addAttribute(AttributedStringKey::link, link.url, link.range);
  addParagraphStyle(storage, lineBreakMode);
  storage.endEditing();
}

void setNamedLinks(TextView& self, const std::vector<NamedLink>& links, LineBreakMode lineBreakMode,
                   std::string_view separator) {
  self.setString("");
  TextStorage& storage = *self.textStorage();
  storage.beginEditing();
  for (std::size_t i = 0; i < links.size(); ++i) {
    storage.appendAttributedString(links[i].name(), TextAttributes{{AttributedStringKey::link, links[i].url()}});
    if (i + 1 < links.size()) storage.appendAttributedString(separator);
  }
  addParagraphStyle(storage, lineBreakMode);
  storage.endEditing();
}

}  // namespace vantrel
