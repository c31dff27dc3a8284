// File: vantrel/platform/kit/text_storage.h
//
// `TextStorage`: the text of a text view with attributes over runs of it,
// counted in UTF-16 code units as the platform counts ranges; and the typed
// text attributes (`TextAttributes`) that it, labels and drawings share.
//
//   auto storage = TextStorage::create();
//   storage->setString("see https://a.org");
//   storage->beginEditing();
//   storage->addAttribute(AttributedStringKey::link, *URL::fromString("https://a.org"), {4, 13});
//   storage->endEditing();
//   storage->runs()     {{0, 4}, {}}, {{4, 13}, {link: https://a.org}}
//
// Runs cover the whole text in order (none for the empty text); equal
// neighbours are one run, so the same attributes at every position give the
// same runs however they were added. Colours compare by identity (the
// pointer), the other values by value.
//
// Text enters as UTF-8; ill-formed bytes become U+FFFD. A range outside the
// text, or one whose ends split a surrogate pair, stops the program
// (`fatal`), as does `endEditing` without a `beginEditing`. The headless
// kit lays nothing out: editing batches are only counted.
//
// Main-thread objects: not thread-safe.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "vantrel/platform/foundation/files/url.h"
#include "vantrel/core/color.h"
#include "vantrel/core/font.h"
#include "vantrel/platform/kit/paragraph_style.h"
#include "vantrel/text/string_services.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The attribute names, in the order a `TextAttributes` map lists them. The
// value each holds: font `Font`, foregroundColor `Color::Ptr`,
// paragraphStyle `ParagraphStyle`, link `URL`.
enum class AttributedStringKey { font, foregroundColor, paragraphStyle, link };

// The platform's names: "NSFont", "NSColor", "NSParagraphStyle", "NSLink".
[[nodiscard]] std::string_view description(AttributedStringKey key);

using TextAttributeValue = std::variant<Font, Color::Ptr, ParagraphStyle, URL>;
using TextAttributes = std::map<AttributedStringKey, TextAttributeValue>;

class TextStorage {
 public:
  using Ptr = std::shared_ptr<TextStorage>;

  struct Run {
    Utf16Range range;
    TextAttributes attributes;
    friend bool operator==(const Run&, const Run&) = default;
  };

  [[nodiscard]] static Ptr create() { return Ptr(new TextStorage()); }

  TextStorage(const TextStorage&) = delete;
  TextStorage& operator=(const TextStorage&) = delete;

  [[nodiscard]] const std::string& string() const { return string_; }
  // In UTF-16 code units.
  [[nodiscard]] std::int64_t length() const { return length_; }

  // The whole text replaced by `text` without attributes.
  void setString(std::string_view text);
  // `text` with `attributes` after the current text.
  void appendAttributedString(std::string_view text, const TextAttributes& attributes = {});
  // Sets the attribute over `range`, replacing that key's value there and
  // keeping the other keys.
  void addAttribute(AttributedStringKey key, TextAttributeValue value, Utf16Range range);
  void addAttributes(const TextAttributes& attributes, Utf16Range range);

  // The attributes at a UTF-16 `index` inside the text (else `fatal`).
  [[nodiscard]] const TextAttributes& attributesAt(std::int64_t index) const;
  [[nodiscard]] std::vector<Run> runs() const;

  // --- Editing batches ----------------------------------------------------------
  void beginEditing();
  void endEditing();
  [[nodiscard]] bool isEditing() const { return editingDepth_ > 0; }
  [[nodiscard]] std::int64_t beginEditingCount() const { return beginEditingCount_; }
  [[nodiscard]] std::int64_t endEditingCount() const { return endEditingCount_; }

 private:
  TextStorage() = default;
  struct Span {
    std::int64_t length = 0;  // UTF-16 units
    TextAttributes attributes;
  };
  // Splits the spans so that `offset` starts one; answers its index.
  std::size_t splitAt(std::int64_t offset);
  void mergeEqualNeighbours();
  void checkRange(Utf16Range range, std::string_view operation) const;

  std::string string_;
  std::int64_t length_ = 0;
  std::vector<Span> spans_;  // lengths add up to length_; none when empty
  std::int64_t editingDepth_ = 0;
  std::int64_t beginEditingCount_ = 0;
  std::int64_t endEditingCount_ = 0;
};

}  // namespace vantrel
