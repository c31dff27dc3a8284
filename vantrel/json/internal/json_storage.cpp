#include "vantrel/json/internal/json_storage.h"

#include <any>
#include <cstring>
#include <new>
#include <typeinfo>
#include <vector>

#include "vantrel/json/internal/json_opaque_block.h"
#include "vantrel/json/json.h"

namespace vantrel {
namespace json_internal {

TextBlock* makeTextBlock(const char* data, std::size_t length) {
  void* memory = ::operator new(sizeof(TextBlock) + length);
  auto* block = new (memory) TextBlock;
  block->header.kind = BlockKind::text;
  block->length = length;
  if (length) std::memcpy(block->data(), data, length);
  return block;
}

namespace {

// Lets go of one holder's count of `block`; a heap block whose count ends
// goes to `dead` rather than being taken apart here, which keeps the
// native stack flat however deep the values nest.
void dropChild(const BlockHeader* block, std::vector<BlockHeader*>& dead) noexcept {
  if (dropCount(block)) dead.push_back(const_cast<BlockHeader*>(block));
}

}  // namespace

void destroyBlock(BlockHeader* first) noexcept {
  std::vector<BlockHeader*> dead;
  BlockHeader* block = first;
  for (;;) {
    switch (block->kind) {
      case BlockKind::text: ::operator delete(block); break;
      case BlockKind::array: {
        auto* array = reinterpret_cast<ArrayBlock*>(block);
        // Each element's only resource is its block count, dropped here.
        for (std::size_t i = 0; i < array->size; ++i) {
          if (const BlockHeader* child = array->elements()[i].blockRef()) dropChild(child, dead);
        }
        ::operator delete(array);
        break;
      }
      case BlockKind::dictionary: {
        auto* dictionary = reinterpret_cast<DictionaryBlock*>(block);
        for (std::size_t i = 0; i < dictionary->size; ++i) {
          const JsonDictionaryEntry& entry = dictionary->entries()[i];
          if (const TextBlock* key = entry.first.block()) dropChild(&key->header, dead);
          if (const BlockHeader* child = entry.second.blockRef()) dropChild(child, dead);
        }
        delete[] dictionary->slots;
        ::operator delete(dictionary);
        break;
      }
      case BlockKind::opaque: {
        auto* opaque = reinterpret_cast<PlatformValue::OpaqueBlock*>(block);
        // A `Json` placed in a value is taken apart here too.
        std::any& held = opaque->value.value;
        if (held.has_value() && held.type() == typeid(Json)) {
          auto& inner = const_cast<PlatformValue&>(std::any_cast<Json&>(held).managedJsonObject());
          if (const BlockHeader* child = inner.blockRef()) {
            dropChild(child, dead);
            inner.kind_ = PlatformValue::Kind::null;  // its count is dropped
          }
        }
        delete opaque;
        break;
      }
    }
    if (dead.empty()) return;
    block = dead.back();
    dead.pop_back();
  }
}

}  // namespace json_internal
}  // namespace vantrel
