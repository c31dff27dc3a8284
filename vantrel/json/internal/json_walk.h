// Internal: include "vantrel/json/json_writer.h" or "vantrel/json/json.h" instead.
//
// The one walk under the JSON texts: `JsonWriter`, the system text
// (`makeData`) and the compact display text (`makeStringCompact`). The walk
// lays the text out (brackets, commas, lines and their indent, the text
// between a key and its value), bounds the depth and orders the keys; each
// form only writes its scalars and texts and says how it refuses a value.
//
// A form is a class with
//   void text(JsonTextBuffer& out, const JsonText& text);   a value or a key
//   void scalar(JsonTextBuffer& out, const PlatformValue& value);   numbers, null, opaque
//   [[noreturn]] void tooDeep();
// The form may throw from any of them; the walk holds nothing that needs
// undoing then.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/collections/custom_order_sort.h"
#include "vantrel/json/json.h"
#include "vantrel/json/platform_value.h"

namespace vantrel::json_internal {

// A text written through a cursor into a buffer that the thread keeps from
// call to call (its pages stay mapped and nothing is zeroed), copied out
// once at the end, so every result is sized to its text. A second buffer
// alive on the same thread (a description written while a text is) gets
// room of its own.
class JsonTextBuffer {
 public:
  JsonTextBuffer();
  ~JsonTextBuffer();
  JsonTextBuffer(const JsonTextBuffer&) = delete;
  JsonTextBuffer& operator=(const JsonTextBuffer&) = delete;

  // At least `bytes` bytes of room at the cursor; write there, then `advance`.
  char* room(std::size_t bytes) {
    if (static_cast<std::size_t>(limit_ - cursor_) < bytes) grow(bytes);
    return cursor_;
  }
  void advance(char* end) { cursor_ = end; }
  void put(char c) { *room(1) = c, ++cursor_; }
  void put(const char* text, std::size_t length) {
    std::memcpy(room(length), text, length);
    cursor_ += length;
  }
  [[nodiscard]] std::string_view text() const { return {start_, size()}; }
  [[nodiscard]] std::size_t size() const { return static_cast<std::size_t>(cursor_ - start_); }
  // The text so far, writable (moves when room is made).
  [[nodiscard]] char* data() { return start_; }

 private:
  void grow(std::size_t bytes);

  char* start_ = nullptr;
  char* cursor_ = nullptr;
  char* limit_ = nullptr;
  bool threads_ = false;  // whether the room is the thread's buffer
};

// How a walk orders the members of a dictionary.
enum class JsonKeyOrder : std::uint8_t {
  stored,     // as the dictionary holds them
  bytes,      // by their UTF-8 bytes, which is the order of Unicode scalars
  canonical,  // by `compareText`; canonically equal keys by their bytes
  listed,     // the listed keys first by rank, then the others by `compareText`
};

// The layout of a walk's text.
struct JsonLayout {
  // Members one a line, indented by `indent` per level; else one line.
  bool lines = false;
  std::string_view indent;
  // An empty array or dictionary as its brackets around an empty line (on
  // lines only).
  bool emptyLine = false;
  // What comes between a key and its value (at most four bytes).
  std::string_view separator = ":";
  JsonKeyOrder order = JsonKeyOrder::stored;
  const CustomOrderDictionary* listed = nullptr;  // ranks for `listed`
};

// The order in which a walk writes the members of each dictionary it meets.
// Records in an array mostly repeat one key sequence, which then needs a
// comparison for equality instead of a sort: each depth remembers the last
// few sequences sorted there. The remembered keys are copies (a long one
// shares the value's text), held for one walk only.
class JsonKeyOrders {
 public:
  JsonKeyOrders(JsonKeyOrder order, const CustomOrderDictionary* listed) : order_(order), listed_(listed) {}

  // The places in `dictionary.entries()` in the order they are written, for
  // a dictionary `depth` levels down; null for the stored order.
  const std::uint32_t* of(const JsonDictionary& dictionary, std::size_t depth) {
    if (order_ == JsonKeyOrder::stored || dictionary.empty()) return nullptr;
    return remembered(dictionary, depth).data();
  }

 private:
  struct Remembered {
    std::vector<JsonText> keys;
    std::vector<std::uint32_t> order;
  };
  static constexpr std::size_t kPerDepth = 4;

  const std::vector<std::uint32_t>& remembered(const JsonDictionary& dictionary, std::size_t depth);
  void sort(const JsonDictionary& dictionary, Remembered& into) const;

  JsonKeyOrder order_;
  const CustomOrderDictionary* listed_;
  // kPerDepth per depth reached so far, each depth's in a block of its own,
  // so the shallower ones, whose orders are in use, stay in place while
  // deeper levels are added.
  std::vector<std::unique_ptr<Remembered[]>> remembered_;
  std::vector<std::uint8_t> turns_;  // per depth, the slot to replace next
};

// Asks for the memory of a dictionary's members when they are met out of
// their order in memory, which the processor does not foresee.
class JsonMemberPrefetch {
 public:
  void members(const JsonDictionary& dictionary);

 private:
  std::uintptr_t low_ = 0;  // the last span of memory asked for
  std::uintptr_t high_ = 0;
};

template <class Form>
class JsonWalk {
 public:
  JsonWalk(Form& form, JsonTextBuffer& out, const JsonLayout& layout)
      : form_(form), out_(out), layout_(layout), orders_(layout.order, layout.listed) {
    if (layout.lines) indentRun_ = layout.indent;
    // Held as four bytes, so writing it is one store whatever its length.
    separatorLength_ = std::min<std::size_t>(layout.separator.size(), sizeof separator_);
    std::memcpy(separator_, layout.separator.data(), separatorLength_);
  }

  void value(const PlatformValue& value) { element(value, 0); }

 private:
  // `depth`: the arrays and dictionaries around `value`.
  void element(const PlatformValue& value, std::size_t depth) {
    switch (value.kind()) {
      case PlatformValue::Kind::text: form_.text(out_, *value.text()); return;
      case PlatformValue::Kind::dictionary: dictionary(*value.dictionary(), depth); return;
      case PlatformValue::Kind::array: array(*value.array(), depth); return;
      default: form_.scalar(out_, value); return;
    }
  }

  void open(char bracket, bool empty, std::size_t depth) {
    if (depth >= static_cast<std::size_t>(kMaxJsonDepth)) form_.tooDeep();
    out_.put(bracket);
    if (empty && layout_.emptyLine && layout_.lines) out_.put('\n');
  }

  // Before member `i` of a container `depth` levels down.
  void next(std::size_t i, std::size_t depth) {
    if (i != 0) out_.put(',');
    if (layout_.lines) newLine(depth + 1);
  }

  void close(char bracket, std::size_t depth) {
    if (layout_.lines) newLine(depth);
    out_.put(bracket);
  }

  void newLine(std::size_t level) {
    const std::size_t width = level * layout_.indent.size();
    while (indentRun_.size() < width) indentRun_ += layout_.indent;
    char* out = out_.room(width + 1);
    *out++ = '\n';
    std::memcpy(out, indentRun_.data(), width);
    out_.advance(out + width);
  }

  void array(const PlatformValue::Array& array, std::size_t depth) {
    const std::size_t count = array.size();
    open('[', count == 0, depth);
    const PlatformValue* elements = array.data();
    for (std::size_t i = 0; i < count; ++i) {
      next(i, depth);
      element(elements[i], depth + 1);
    }
    close(']', depth);
  }

  void dictionary(const JsonDictionary& dictionary, std::size_t depth) {
    const auto entries = dictionary.entries();
    const std::size_t count = entries.size();
    open('{', count == 0, depth);
    const std::uint32_t* order = orders_.of(dictionary, depth);
    if (order) prefetch_.members(dictionary);
    for (std::size_t i = 0; i < count; ++i) {
      const JsonDictionary::Entry& entry = entries[order ? order[i] : i];
      next(i, depth);
      form_.text(out_, entry.first);
      char* at = out_.room(sizeof separator_);
      std::memcpy(at, separator_, sizeof separator_);
      out_.advance(at + separatorLength_);
      element(entry.second, depth + 1);
    }
    close('}', depth);
  }

  Form& form_;
  JsonTextBuffer& out_;
  const JsonLayout& layout_;
  JsonKeyOrders orders_;
  JsonMemberPrefetch prefetch_;
  std::string indentRun_;  // the indent unit repeated, grown to the deepest level met
  char separator_[4] = {};
  std::size_t separatorLength_ = 0;
};

// A number as JSON writes it: booleans as true and false, doubles in their
// shortest round-trip form, decimals as read. False, with nothing written,
// for a NaN or infinite double, which JSON cannot hold.
[[nodiscard]] bool writeJsonNumber(JsonTextBuffer& out, const JsonNumber& number);

// JSON's escapes for `text` (every character below U+0020 as an escape,
// ill-formed UTF-8 as U+FFFD, as `appendStringEncodedForJson` writes them),
// in quotes.
void writeJsonString(JsonTextBuffer& out, std::string_view text);
void writeJsonString(JsonTextBuffer& out, const JsonText& text);

}  // namespace vantrel::json_internal
