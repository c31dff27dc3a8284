// Subscripts by key, index and path, iteration, comparison and merging.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "vantrel/core/console.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/hash_combine.h"
#include "vantrel/core/number_text.h"
#include "vantrel/json/json.h"
#include "vantrel/text/comparison.h"

namespace vantrel {

// ---- Reading ----------------------------------------------------------------

JsonView JsonView::readStep(const JsonKey& step) const {
  return step.kind() == JsonKey::Kind::index ? (*this)[step.index()] : (*this)[std::string_view(step.key())];
}

JsonView JsonView::operator[](const JsonPath& path) const {
  JsonView value = *this;
  for (const JsonKey& step : path) value = value.readStep(step);
  return value;
}

// ---- Writing ----------------------------------------------------------------

bool Json::writeStep(const JsonKey& step, const Json& newValue) {
  if (step.kind() == JsonKey::Kind::index) {
    const std::int64_t i = step.index();
    if (type_ != JsonType::array) {
      consolePrint("Json.subscript(index:" + integerText(i) + " set on type " + type_.description());
      return false;
    }
    const auto count = static_cast<std::int64_t>(value_.array()->size());
    if (i < 0 || i >= count || newValue.error_) {
      consolePrint("Json.subscript(index:" + integerText(i) + " set out of bounds: " + integerText(count));
      return false;
    }
    (*value_.mutableArray())[static_cast<std::size_t>(i)] = newValue.managedJsonObject();
    return true;
  }
  if (type_ != JsonType::dictionary || newValue.error_) {
    consolePrint("Json.subscript(key:\"" + step.key() + "\") on type " + type_.description());
    return false;
  }
  value_.mutableDictionary()->insertOrAssign(step.key(), newValue.managedJsonObject());
  return true;
}

bool Json::set(const JsonPath& path, const Json& newValue) {
  if (path.empty()) return true;
  // The values along the path, read from copies: a step that cannot be
  // written stops the write before anything reaches this value. Iterative,
  // so a long path takes no stack.
  std::vector<Json> chain;
  chain.reserve(path.size());
  chain.push_back(*this);
  for (std::size_t i = 0; i + 1 < path.size(); ++i) chain.push_back(chain.back().readStep(path[i]));
  Json child = chain.back().readStep(path.back());
  child.setManagedJsonObject(newValue.managedJsonObject());
  for (std::size_t i = path.size(); i-- > 0;) {
    if (!chain[i].writeStep(path[i], child)) return false;
    child = std::move(chain[i]);
  }
  *this = std::move(child);
  return true;
}

JsonSubscript Json::operator[](const JsonPath& path) & {
  JsonSubscript at(this);
  for (const JsonKey& step : path) at.advance(step);
  return at;
}

static_assert(std::is_standard_layout_v<JsonDictionaryEntry>, "an entry is found from its value by offsetof");

JsonSubscript::JsonSubscript(const JsonSubscript& other)
    : Json(Pinned{}, other.value_, other.target_, other.type_, other.error_), root_(other.root_), steps_(other.steps_) {
  if (other.target_ == &other.value_) target_ = &value_;
  if (other.attached_) attach();
}

void Json::detachProxies() noexcept {
  for (JsonSubscript* proxy = proxies_; proxy;) {
    JsonSubscript* next = proxy->next_;
    if (proxy->target_ != &proxy->value_) {
      proxy->value_ = value_;
      if (proxy->target_ == &value_) proxy->target_ = &proxy->value_;
    } else {
      // Changed as a `Json` of its own, it reads only its own value, and
      // holds its path.
      proxy->steps_.holdKeys();
    }
    proxy->attached_ = false;
    proxy = next;
  }
  proxies_ = nullptr;
}

void JsonSubscript::advance(const JsonKey& step) {
  if (step.kind() == JsonKey::Kind::index) {
    advance(step.index());
  } else {
    advance(std::string_view(step.key()));
  }
}

JsonPath JsonSubscript::path() const {
  JsonPath path;
  path.reserve(steps_.size());
  for (std::size_t i = 0; i < steps_.size(); ++i) {
    const json_internal::SubscriptStep& step = steps_[i];
    path.push_back(step.isKey ? JsonKey(step.keyText()) : JsonKey(step.index));
  }
  return path;
}

JsonSubscript& JsonSubscript::operator=(const Json& newValue) {
  const Json value = newValue;  // newValue may be this very subscript, or inside the root
  const JsonPath steps = path();
  if (root_->set(steps, value)) readFromRoot(steps);
  return *this;
}

void JsonSubscript::readFromRoot(const JsonPath& path) {
  steps_.clear();
  if (root_->target_ == &root_->value_) {
    // A write let this subscript go with a count of the old value.
    if (!attached_) {
      value_ = PlatformValue();
      attach();
    }
    target_ = root_->target_;
  } else {
    value_ = *root_->target_;
    target_ = &value_;
  }
  type_ = root_->type_;
  error_ = root_->error_;
  for (const JsonKey& step : path) advance(step);
}

void JsonSubscript::merge(const Json& other) {
  Json child = *this;
  child.merge(other);
  *this = child;
}

// ---- Iteration --------------------------------------------------------------

JsonView::Index JsonView::startIndex() const {
  switch (type_) {
    case JsonType::array: return Index::array(0);
    case JsonType::dictionary: return Index::dictionary(0);
    default: return Index::null();
  }
}

JsonView::Index JsonView::endIndex() const {
  switch (type_) {
    case JsonType::array: return Index::array(count());
    case JsonType::dictionary: return Index::dictionary(count());
    default: return Index::null();
  }
}

JsonView::Index JsonView::indexAfter(const Index& i) const {
  switch (i.kind()) {
    case Index::Case::array: return Index::array(i.position() + 1);
    case Index::Case::dictionary: return Index::dictionary(i.position() + 1);
    case Index::Case::null: return Index::null();
  }
  return Index::null();
}

JsonView::const_iterator JsonView::begin() const {
  if (type_ == JsonType::array) {
    const PlatformValue::Array& array = *target_->array();
    return const_iterator(target_, array.data(), sizeof(PlatformValue), nullptr,
                          static_cast<std::ptrdiff_t>(array.size()), 0);
  }
  if (type_ == JsonType::dictionary) {
    const JsonDictionary& dictionary = *target_->dictionary();
    const JsonDictionaryEntry* entries = dictionary.begin();
    return const_iterator(target_, entries ? &entries->second : nullptr, sizeof(JsonDictionaryEntry), entries,
                          static_cast<std::ptrdiff_t>(dictionary.size()), 0);
  }
  return const_iterator(target_, nullptr, 0, nullptr, 0, 0);
}

void JsonView::const_iterator::readOutside(std::ptrdiff_t position, std::ptrdiff_t count) {
  fatal("Json iterator read at " + integerText(position) + " outside the " + integerText(count) + " members");
}

JsonView::const_iterator JsonView::end() const {
  const_iterator at = begin();
  return at + static_cast<std::ptrdiff_t>(count());
}

JsonView::Element JsonView::operator[](const Index& i) const {
  const bool inside = i.position() >= 0 && i.position() < count();
  if (i.kind() == Index::Case::array && type_ == JsonType::array && inside) {
    return {integerText(i.position()), Json((*target_->array())[static_cast<std::size_t>(i.position())])};
  }
  if (i.kind() == Index::Case::dictionary && type_ == JsonType::dictionary && inside) {
    const auto& entry = target_->dictionary()->entries()[static_cast<std::size_t>(i.position())];
    return {entry.first.str(), Json(entry.second)};
  }
  // The null position is where a value with no members starts and ends:
  // there is nothing to read there, in any value.
  if (i.kind() == Index::Case::null) fatal("Json null index read in the " + type_.description() + " value");
  fatal("Json index " + integerText(i.position()) + " outside the " + integerText(count()) + " members of the " +
        type_.description() + " value");
}

// ---- Comparison -------------------------------------------------------------

namespace {

// The order of two values of one tag; unordered for tags that only compare
// for equality and for unequal ones among them.
std::partial_ordering orderOfSameTag(const Json& a, const Json& b) {
  switch (a.type()) {
    case JsonType::number: return a.managedJsonObject().number()->compare(*b.managedJsonObject().number());
    case JsonType::string: {
      const int c = compareText(*a.managedJsonObject().text(), *b.managedJsonObject().text());
      return c < 0 ? std::partial_ordering::less : (c > 0 ? std::partial_ordering::greater : std::partial_ordering::equivalent);
    }
    case JsonType::bool_:
    case JsonType::array:
    case JsonType::dictionary:
      return a.managedJsonObject() == b.managedJsonObject() ? std::partial_ordering::equivalent
                                                            : std::partial_ordering::unordered;
    case JsonType::null: return std::partial_ordering::equivalent;
    case JsonType::unknown: return std::partial_ordering::unordered;
  }
  return std::partial_ordering::unordered;
}

}  // namespace

bool JsonView::isEqual(const JsonView& other) const {
  if (type_ != other.type_) return false;
  if (type_ == JsonType::string) return textEqual(*target_->text(), *other.target_->text());
  return orderOfSameTag(*this, other) == 0;
}

namespace {

// Numbers hash by their value as a double, which equal numbers of any kind
// share. A boolean equals only a boolean.
std::size_t numberHash(const JsonNumber& number) {
  if (number.isBool()) return number.boolValue() ? 0x51u : 0x50u;
  double d = number.doubleValue();
  if (d == 0.0) d = 0.0;  // -0.0 == 0.0
  return std::hash<double>{}(d);
}

// Inside containers texts compare byte for byte. Deeper than `budget` only
// the kind and the size count, which keeps equal values equal in hash and
// the walk shallow.
std::size_t platformHash(const PlatformValue& value, int budget) {
  std::size_t seed = static_cast<std::size_t>(value.kind());
  switch (value.kind()) {
    case PlatformValue::Kind::number: return hashCombine(seed, numberHash(*value.number()));
    case PlatformValue::Kind::text: return hashCombine(seed, std::hash<std::string_view>{}(*value.text()));
    case PlatformValue::Kind::null:
    case PlatformValue::Kind::opaque: return seed;
    case PlatformValue::Kind::array: {
      const auto& elements = *value.array();
      seed = hashCombine(seed, elements.size());
      if (budget == 0) return seed;
      for (const PlatformValue& element : elements) seed = hashCombine(seed, platformHash(element, budget - 1));
      return seed;
    }
    case PlatformValue::Kind::dictionary: {
      const JsonDictionary& members = *value.dictionary();
      seed = hashCombine(seed, members.size());
      if (budget == 0) return seed;
      // Member order does not matter for equality: a sum does not see it.
      std::size_t sum = 0;
      for (const auto& [key, member] : members) {
        sum += hashCombine(std::hash<std::string_view>{}(key), platformHash(member, budget - 1));
      }
      return hashCombine(seed, sum);
    }
  }
  return seed;
}

}  // namespace

std::size_t JsonView::contentHash() const {
  const std::size_t tag = static_cast<std::size_t>(type_.rawValue());
  switch (type_) {
    case JsonType::number:
    case JsonType::bool_: return hashCombine(tag, numberHash(*target_->number()));
    case JsonType::string: return hashCombine(tag, textHash(*target_->text()));
    case JsonType::array:
    case JsonType::dictionary: return hashCombine(tag, platformHash(*target_, 8));
    default: return tag;
  }
}

// Booleans, arrays and dictionaries have no order: `<` and `>` are false
// for them, while `<=` and `>=` mean equal.
std::partial_ordering JsonView::order(const JsonView& other) const {
  if (type_ != other.type_) return std::partial_ordering::unordered;
  return orderOfSameTag(*this, other);
}

// ---- Merging ----------------------------------------------------------------

namespace {

// `depth` counts the dictionaries entered in both values.
void mergeValues(Json& receiver, const Json& other, bool typecheck, int depth) {
  if (receiver.type() != other.type()) {
    if (typecheck) throw JsonError(JsonError::invalidType);
    receiver = other;
    return;
  }
  switch (receiver.type()) {
    case JsonType::dictionary: {
      if (depth >= kMaxJsonDepth) throw JsonDepthError();
      PlatformValue members = receiver.managedJsonObject();
      for (const auto& [key, value] : *other.managedJsonObject().dictionary()) {
        const PlatformValue* mine = members.dictionary()->find(key);
        Json child = mine ? Json(*mine) : Json::null(JsonError::notExist);
        mergeValues(child, Json(value), false, depth + 1);
        members.mutableDictionary()->insertOrAssign(key, child.managedJsonObject());
      }
      receiver = Json(std::move(members));
      return;
    }
    case JsonType::array: {
      PlatformValue::Array elements = *receiver.managedJsonObject().array();
      const PlatformValue::Array& more = *other.managedJsonObject().array();
      elements.reserve(elements.size() + more.size());
      for (const PlatformValue& element : more) elements.push_back(element);
      receiver = Json(PlatformValue(std::move(elements)));
      return;
    }
    default: receiver = other; return;
  }
}

}  // namespace

void Json::merge(const Json& other) {
  Json result = *this;
  mergeValues(result, other, true, 0);
  *this = std::move(result);
}

Json JsonView::merged(const Json& other) const {
  Json result = *this;
  result.merge(other);
  return result;
}

}  // namespace vantrel
