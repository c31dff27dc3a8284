// Internal: include "vantrel/json/json.h" instead.
//
// The shared blocks behind JSON values: long texts, decimals, arrays,
// dictionaries and opaque values. A block lives either on the heap, with
// its own count of holders, or in a parsed document's arena, which counts
// the holders of all its blocks at once. Blocks are never changed once
// shared; a change copies the block first (copy on write).
//
// Arena rule: values inside an arena refer only to blocks of the same arena
// and hold no count; every value outside it that refers to one of its
// blocks holds one count of the arena. So a document is freed in one go,
// without visiting its values, when the last value taken from it goes.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {
namespace json_internal {

struct Arena {
  std::atomic<std::size_t> refs{0};
};

enum class BlockKind : std::uint8_t { text, array, dictionary, opaque };

struct BlockHeader {
  std::atomic<std::size_t> refs{1};  // heap blocks only
  Arena* arena = nullptr;            // the arena holding the block, if any
  BlockKind kind = BlockKind::text;
};

// A long text or a decimal number's digits; the bytes follow the block.
struct TextBlock {
  BlockHeader header;
  std::size_t length = 0;
  [[nodiscard]] const char* data() const { return reinterpret_cast<const char*>(this + 1); }
  [[nodiscard]] char* data() { return reinterpret_cast<char*>(this + 1); }
};

}  // namespace json_internal

class PlatformValue;
struct JsonDictionaryEntry;
struct JsonOpaque;

namespace json_internal {

// Elements follow the block.
struct ArrayBlock {
  BlockHeader header;
  std::size_t size = 0;
  std::size_t capacity = 0;
  [[nodiscard]] PlatformValue* elements() { return reinterpret_cast<PlatformValue*>(this + 1); }
  [[nodiscard]] const PlatformValue* elements() const { return reinterpret_cast<const PlatformValue*>(this + 1); }
};

// Entries follow the block, in insertion order. Larger dictionaries also
// have an open-addressing index of entry positions.
struct DictionaryBlock {
  BlockHeader header;
  std::size_t size = 0;
  std::size_t capacity = 0;
  std::uint32_t* slots = nullptr;  // `slotCount` entries, or none
  std::size_t slotCount = 0;
  [[nodiscard]] JsonDictionaryEntry* entries() { return reinterpret_cast<JsonDictionaryEntry*>(this + 1); }
  [[nodiscard]] const JsonDictionaryEntry* entries() const {
    return reinterpret_cast<const JsonDictionaryEntry*>(this + 1);
  }
};

// The tag of the internal constructors that take over a block as it is: a
// heap block with the count it carries, or a block of a document's arena,
// which carries none (the reader's values).
struct AdoptBlock {
  explicit AdoptBlock() = default;
};
inline constexpr AdoptBlock adoptBlock{};

// Frees a heap block whose last holder went, and everything only it held,
// without recursion.
void destroyBlock(BlockHeader* block) noexcept;
void destroyArena(Arena* arena) noexcept;

inline void retain(const BlockHeader* block) noexcept {
  if (block->arena) {
    block->arena->refs.fetch_add(1, std::memory_order_relaxed);
  } else {
    const_cast<BlockHeader*>(block)->refs.fetch_add(1, std::memory_order_relaxed);
  }
}

// Drops one holder's count of `block`. An arena whose count ends is freed
// here; true when the count of a heap block ended, which the caller frees.
[[nodiscard]] inline bool dropCount(const BlockHeader* block) noexcept {
  auto* b = const_cast<BlockHeader*>(block);
  if (b->arena) {
    if (b->arena->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) destroyArena(b->arena);
    return false;
  }
  return b->refs.fetch_sub(1, std::memory_order_acq_rel) == 1;
}

inline void release(const BlockHeader* block) noexcept {
  if (dropCount(block)) destroyBlock(const_cast<BlockHeader*>(block));
}

// Whether the holder of `block` is its only one and may change it in place.
inline bool soleHeapHolder(const BlockHeader* block) noexcept {
  return !block->arena && block->refs.load(std::memory_order_acquire) == 1;
}

// A holder of one block (or of none): copies count, the last one frees.
template <class Block>
class SharedBlock {
 protected:
  SharedBlock() noexcept = default;
  SharedBlock(const SharedBlock& other) noexcept : block_(other.block_) {
    if (block_) retain(&block_->header);
  }
  SharedBlock(SharedBlock&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
  SharedBlock& operator=(const SharedBlock& other) noexcept {
    SharedBlock copy(other);
    swapBlocks(copy);
    return *this;
  }
  SharedBlock& operator=(SharedBlock&& other) noexcept {
    SharedBlock taken(static_cast<SharedBlock&&>(other));
    swapBlocks(taken);
    return *this;
  }
  ~SharedBlock() {
    if (block_) release(&block_->header);
  }
  void swapBlocks(SharedBlock& other) noexcept {
    Block* held = block_;
    block_ = other.block_;
    other.block_ = held;
  }

  Block* block_ = nullptr;
};

// A heap text block holding `text` (its count is 1).
[[nodiscard]] TextBlock* makeTextBlock(const char* data, std::size_t length);

}  // namespace json_internal
}  // namespace vantrel
