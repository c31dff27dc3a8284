// File: vantrel/appkit/text_view_links.h
//
// Text views that show links: a plain text with the links the link
// detector finds in it (vantrel/foundation/net/link_extraction.h), or a row
// of named links joined by a separator.
//
//   setStringAndHighlightLinks(*view, "😀 see https://a.org and www.b.org");
//   // link attributes over {7, 13} (https://a.org) and {25, 9} (http://www.b.org)
//   setNamedLinks(*view, {NamedLink("Home", home), NamedLink("Docs", docs)});
//   view->string()      "Home, Docs"; the two names carry their URLs
//
// Both replace the whole text, then, in one editing batch of the text
// storage, add the link attributes and a paragraph style with the given
// line-break mode (default character wrapping, raw value 1) over the whole
// text. Ranges count UTF-16 code units. Separators carry no attributes but
// the paragraph style. Fonts, colours and other attributes are left alone.
// Main thread, like the views.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vantrel/foundation/files/url_operations.h"
#include "vantrel/platform/kit/paragraph_style.h"
#include "vantrel/platform/kit/text_view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

void setStringAndHighlightLinks(TextView& self, std::string_view text,
                                LineBreakMode lineBreakMode = LineBreakMode::byCharWrapping);

void setNamedLinks(TextView& self, const std::vector<NamedLink>& links,
                   LineBreakMode lineBreakMode = LineBreakMode::byCharWrapping, std::string_view separator = ", ");

}  // namespace vantrel
