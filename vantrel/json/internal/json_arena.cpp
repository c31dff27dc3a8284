#include "vantrel/json/internal/json_arena.h"

#include <algorithm>
#include <new>

namespace vantrel::json_internal {

DocumentArena::DocumentArena(std::size_t expected) : nextSize_(expected < 4096 ? 4096 : expected) {}

DocumentArena::~DocumentArena() {
  while (chunks_) {
    Chunk* next = chunks_->next;
    ::operator delete(chunks_);
    chunks_ = next;
  }
}

void DocumentArena::addChunk(std::size_t atLeast) {
  const std::size_t size = std::max(nextSize_, atLeast + sizeof(Chunk));
  nextSize_ = size * 2;
  auto* chunk = static_cast<Chunk*>(::operator new(size));
  chunk->next = chunks_;
  chunks_ = chunk;
  cursor_ = reinterpret_cast<char*>(chunk + 1);
  limit_ = reinterpret_cast<char*>(chunk) + size;
}

void destroyArena(Arena* arena) noexcept { delete static_cast<DocumentArena*>(arena); }

}  // namespace vantrel::json_internal
