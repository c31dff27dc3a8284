// File: vantrel/platform/posix/read_full.h
//
// The one read loop for callers that need an exact number of bytes:
// `readFull` reads until `size` bytes have arrived, the input ends or a read
// fails, retrying interrupted calls (EINTR). One read may deliver fewer bytes
// than asked (pipes, FIFOs, devices); this loop is where that is handled.
//
//   ReadFullResult r = readFull(fd, buffer, 4096);
//   if (r.error) report(r.error.message());
//   else if (r.bytesRead < 4096) reportEndOfFile();
//
// Allocates nothing.
#pragma once

#include <cstddef>
#include <system_error>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {
namespace posix {

struct ReadFullResult {
  // Bytes stored at the front of the buffer; below `size` when the input
  // ended or a read failed.
  std::size_t bytesRead = 0;
  // The errno of the failing read; empty at end of input or when all arrived.
  std::error_code error;
};

[[nodiscard]] ReadFullResult readFull(int fd, void* buffer, std::size_t size) noexcept;

}  // namespace posix
}  // namespace vantrel
