// Internal: include "vantrel/json/json.h" instead.
//
// The memory of one parsed document: blocks carved from large chunks and
// freed together when the last value taken from the document goes.
#pragma once

#include <cstddef>

#include "vantrel/json/internal/json_storage.h"

namespace vantrel::json_internal {

class DocumentArena : public Arena {
 public:
  // `expected`: about how many bytes the document will take.
  explicit DocumentArena(std::size_t expected);
  DocumentArena(const DocumentArena&) = delete;
  DocumentArena& operator=(const DocumentArena&) = delete;
  ~DocumentArena();

  // Whether no block was carved from it.
  [[nodiscard]] bool isEmpty() const { return chunks_ == nullptr; }

  // `bytes` bytes aligned for any block.
  [[nodiscard]] void* allocate(std::size_t bytes) {
    bytes = (bytes + 7) & ~std::size_t{7};
    if (static_cast<std::size_t>(limit_ - cursor_) < bytes) addChunk(bytes);
    void* at = cursor_;
    cursor_ += bytes;
    return at;
  }

 private:
  struct Chunk {
    Chunk* next;
  };
  void addChunk(std::size_t atLeast);

  Chunk* chunks_ = nullptr;
  char* cursor_ = nullptr;
  char* limit_ = nullptr;
  std::size_t nextSize_;
};


// Indexes a dictionary block just filled (see platform_value.cpp); in an
// arena its values hold no counts and the index comes from the arena.
void indexDictionary(DictionaryBlock& block, DocumentArena* arena);

}  // namespace vantrel::json_internal
