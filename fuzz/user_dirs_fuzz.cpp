// Arbitrary bytes as a user-dirs.dirs file: no crash, no read outside the
// input; a value found is an absolute path.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vantrel/platform/foundation/files/internal/user_dirs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (std::string_view key : {"XDG_DOCUMENTS_DIR", "XDG_MUSIC_DIR"}) {
    auto value = vantrel::foundation_internal::userDirsValue(text, key, "/home/u");
    if (value && (value->empty() || value->front() != '/')) std::abort();
  }
  return 0;
}
