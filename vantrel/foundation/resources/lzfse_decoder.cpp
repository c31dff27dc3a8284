// LZFSE and LZVN decoding, written from the format's public description.
//
// A stream is a series of blocks, each opened by a four-byte magic: "bvx-"
// (raw bytes), "bvxn" (an LZVN payload), "bvx1" / "bvx2" (literals and
// literal-length / match-length / distance triples, each coded with
// finite-state entropy tables; v1 stores the frequency tables plainly, v2
// packs the header fields and codes the tables with variable-length codes),
// and "bvx$" at the end. Matches may reach back into earlier blocks, so the
// whole output stays addressable. Every count, index and distance is checked
// against what has been decoded and what is left before it is used.

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <vector>

#include "vantrel/foundation/resources/internal/decoders.h"

namespace vantrel::foundation_internal {

namespace {

constexpr std::uint32_t kEndOfStream = 0x24787662;  // "bvx$"
constexpr std::uint32_t kRawBlock = 0x2d787662;     // "bvx-"
constexpr std::uint32_t kV1Block = 0x31787662;      // "bvx1"
constexpr std::uint32_t kV2Block = 0x32787662;      // "bvx2"
constexpr std::uint32_t kLzvnBlock = 0x6e787662;    // "bvxn"

constexpr int kLiteralStates = 1024;
constexpr int kLStates = 64;
constexpr int kMStates = 64;
constexpr int kDStates = 256;
constexpr int kLiteralSymbols = 256;
constexpr int kLSymbols = 20;
constexpr int kMSymbols = 20;
constexpr int kDSymbols = 64;
constexpr int kFrequencyCount = kLSymbols + kMSymbols + kDSymbols + kLiteralSymbols;

constexpr std::size_t kV1HeaderSize = 772;
constexpr std::size_t kV2FixedHeaderSize = 32;
// Room after the end of the output and the literals for copies of whole
// 16-byte words.
constexpr std::size_t kSlack = 32;

constexpr std::uint8_t kLExtraBits[kLSymbols] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 5, 8};
constexpr std::int32_t kLBase[kLSymbols] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 20, 28, 60};
constexpr std::uint8_t kMExtraBits[kMSymbols] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 5, 8, 11};
constexpr std::int32_t kMBase[kMSymbols] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 24, 56, 312};
constexpr std::uint8_t kDExtraBits[kDSymbols] = {
    0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6, 7, 7, 7, 7,
    8, 8, 8, 8, 9, 9, 9, 9, 10, 10, 10, 10, 11, 11, 11, 11, 12, 12, 12, 12, 13, 13, 13, 13, 14, 14, 14, 14, 15, 15, 15, 15};
constexpr std::int32_t kDBase[kDSymbols] = {
    0,     1,     2,     3,     4,     6,     8,     10,    12,    16,     20,     24,     28,     36,    44,    52,
    60,    76,    92,    108,   124,   156,   188,   220,   252,   316,    380,    444,    508,    636,   764,   892,
    1020,  1276,  1532,  1788,  2044,  2556,  3068,  3580,  4092,  5116,   6140,   7164,   8188,   10236, 12284, 14332,
    16380, 20476, 24572, 28668, 32764, 40956, 49148, 57340, 65532, 81916, 98300, 114684, 131068, 163836, 196604, 229372};

std::uint32_t load32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t load16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

std::uint64_t load64(const std::uint8_t* p) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
  } else {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
    return v;
  }
}

struct CompressedHeader {
  std::uint32_t rawBytes = 0;
  std::uint32_t literals = 0;
  std::uint32_t matches = 0;
  std::uint32_t literalPayloadBytes = 0;
  std::uint32_t lmdPayloadBytes = 0;
  std::int32_t literalBits = 0;
  std::int32_t lmdBits = 0;
  std::uint16_t literalState[4] = {};
  std::uint16_t lState = 0;
  std::uint16_t mState = 0;
  std::uint16_t dState = 0;
  // l, m, d, then literal frequencies, as in the v1 header.
  std::uint16_t frequencies[kFrequencyCount] = {};
  std::size_t headerSize = 0;
};

bool parseV1Header(const std::uint8_t* p, std::size_t left, CompressedHeader& h) {
  if (left < kV1HeaderSize) return false;
  h.rawBytes = load32(p + 4);
  h.literals = load32(p + 12);
  h.matches = load32(p + 16);
  h.literalPayloadBytes = load32(p + 20);
  h.lmdPayloadBytes = load32(p + 24);
  h.literalBits = static_cast<std::int32_t>(load32(p + 28));
  for (int i = 0; i < 4; ++i) h.literalState[i] = load16(p + 32 + 2 * i);
  h.lmdBits = static_cast<std::int32_t>(load32(p + 40));
  h.lState = load16(p + 44);
  h.mState = load16(p + 46);
  h.dState = load16(p + 48);
  for (int i = 0; i < kFrequencyCount; ++i) h.frequencies[i] = load16(p + 50 + 2 * i);
  h.headerSize = kV1HeaderSize;
  return true;
}

// One frequency of a v2 header from the low bits of `bits`; `length` is the
// number of bits its code takes.
int decodeFrequency(std::uint32_t bits, int& length) {
  static constexpr std::int8_t kLengths[32] = {2, 3, 2, 5, 2, 3, 2, 8, 2, 3, 2, 5, 2, 3, 2, 14,
                                               2, 3, 2, 5, 2, 3, 2, 8, 2, 3, 2, 5, 2, 3, 2, 14};
  static constexpr std::int8_t kValues[32] = {0, 2, 1, 4, 0, 3, 1, -1, 0, 2, 1, 5, 0, 3, 1, -1,
                                              0, 2, 1, 6, 0, 3, 1, -1, 0, 2, 1, 7, 0, 3, 1, -1};
  const std::uint32_t low = bits & 31;
  length = kLengths[low];
  if (length == 8) return 8 + static_cast<int>((bits >> 4) & 0xf);
  if (length == 14) return 24 + static_cast<int>((bits >> 4) & 0x3ff);
  return kValues[low];
}

bool parseV2Header(const std::uint8_t* p, std::size_t left, CompressedHeader& h) {
  if (left < kV2FixedHeaderSize) return false;
  h.rawBytes = load32(p + 4);
  const std::uint64_t f0 = load64(p + 8);
  const std::uint64_t f1 = load64(p + 16);
  const std::uint64_t f2 = load64(p + 24);
  const auto field = [](std::uint64_t v, int offset, int bits) {
    return static_cast<std::uint32_t>((v >> offset) & ((std::uint64_t{1} << bits) - 1));
  };
  h.literals = field(f0, 0, 20);
  h.literalPayloadBytes = field(f0, 20, 20);
  h.matches = field(f0, 40, 20);
  h.literalBits = static_cast<std::int32_t>(field(f0, 60, 3)) - 7;
  for (int i = 0; i < 4; ++i) h.literalState[i] = static_cast<std::uint16_t>(field(f1, 10 * i, 10));
  h.lmdPayloadBytes = field(f1, 40, 20);
  h.lmdBits = static_cast<std::int32_t>(field(f1, 60, 3)) - 7;
  h.headerSize = field(f2, 0, 32);
  h.lState = static_cast<std::uint16_t>(field(f2, 32, 10));
  h.mState = static_cast<std::uint16_t>(field(f2, 42, 10));
  h.dState = static_cast<std::uint16_t>(field(f2, 52, 10));
  if (h.headerSize < kV2FixedHeaderSize || h.headerSize > left) return false;

  const std::uint8_t* src = p + kV2FixedHeaderSize;
  const std::uint8_t* end = p + h.headerSize;
  if (src == end) return true;  // the tables were left out: all zero
  std::uint32_t accum = 0;
  int accumBits = 0;
  for (int i = 0; i < kFrequencyCount; ++i) {
    while (src < end && accumBits + 8 <= 32) {
      accum |= static_cast<std::uint32_t>(*src++) << accumBits;
      accumBits += 8;
    }
    int length = 0;
    const int value = decodeFrequency(accum, length);
    if (length > accumBits) return false;
    h.frequencies[i] = static_cast<std::uint16_t>(value);
    accum >>= length;
    accumBits -= length;
  }
  // The codes must fill the header to its last byte.
  return accumBits < 8 && src == end;
}

struct LiteralEntry {
  std::int8_t bits;
  std::uint8_t symbol;
  std::int16_t delta;
};

struct ValueEntry {
  std::uint8_t totalBits;  // state bits, then value bits
  std::uint8_t valueBits;
  std::int16_t delta;
  std::int32_t base;
};

int leadingZeros(std::uint32_t v) { return std::countl_zero(v); }

// The states of each symbol form one run, in symbol order. States past the
// sum of the frequencies (only in damaged tables) lead back to state 0.
bool buildLiteralTable(const std::uint16_t* frequencies, LiteralEntry* table) {
  const int zeros = leadingZeros(kLiteralStates);
  int next = 0;
  for (int symbol = 0; symbol < kLiteralSymbols; ++symbol) {
    const int f = frequencies[symbol];
    if (f == 0) continue;
    if (f > kLiteralStates - next) return false;
    const int k = leadingZeros(static_cast<std::uint32_t>(f)) - zeros;
    const int j0 = ((2 * kLiteralStates) >> k) - f;
    for (int j = 0; j < f; ++j) {
      LiteralEntry& e = table[next++];
      e.symbol = static_cast<std::uint8_t>(symbol);
      if (j < j0) {
        e.bits = static_cast<std::int8_t>(k);
        e.delta = static_cast<std::int16_t>(((f + j) << k) - kLiteralStates);
      } else {
        e.bits = static_cast<std::int8_t>(k - 1);
        e.delta = static_cast<std::int16_t>((j - j0) << (k - 1));
      }
    }
  }
  for (; next < kLiteralStates; ++next) table[next] = LiteralEntry{0, 0, 0};
  return true;
}

bool buildValueTable(int states, int symbols, const std::uint16_t* frequencies, const std::uint8_t* extraBits,
                     const std::int32_t* bases, ValueEntry* table) {
  const int zeros = leadingZeros(static_cast<std::uint32_t>(states));
  int next = 0;
  for (int symbol = 0; symbol < symbols; ++symbol) {
    const int f = frequencies[symbol];
    if (f == 0) continue;
    if (f > states - next) return false;
    const int k = leadingZeros(static_cast<std::uint32_t>(f)) - zeros;
    const int j0 = ((2 * states) >> k) - f;
    for (int j = 0; j < f; ++j) {
      ValueEntry& e = table[next++];
      e.valueBits = extraBits[symbol];
      e.base = bases[symbol];
      if (j < j0) {
        e.totalBits = static_cast<std::uint8_t>(k + e.valueBits);
        e.delta = static_cast<std::int16_t>(((f + j) << k) - states);
      } else {
        e.totalBits = static_cast<std::uint8_t>(k - 1 + e.valueBits);
        e.delta = static_cast<std::int16_t>((j - j0) << (k - 1));
      }
    }
  }
  for (; next < states; ++next) table[next] = ValueEntry{0, 0, 0, 0};
  return true;
}

// Reads an entropy-coded payload from its end toward its start; the bits
// of each byte are taken from the top.
class BackwardBits {
 public:
  // `padding` (-8 to 0) is the negated count of unused top bits of the
  // last byte. A payload shorter than a word is read whole; its bits are
  // all there is (the encoder may leave fewer than eight bytes).
  bool init(const std::uint8_t* start, const std::uint8_t* end, std::int32_t padding) {
    start_ = start;
    if (padding < -8 || padding > 0) return false;
    const std::size_t length = static_cast<std::size_t>(end - start);
    const std::size_t take = std::min<std::size_t>(length, padding != 0 ? 8 : 7);
    pos_ = end - take;
    accum_ = 0;
    for (std::size_t i = take; i-- > 0;) accum_ = accum_ << 8 | pos_[i];
    bits_ = static_cast<int>(8 * take) + padding;
    if (bits_ < 0) return false;
    return bits_ == 64 || (accum_ >> bits_) == 0;
  }

  // Tops the accumulator up to 56 or more bits, as far as the payload goes.
  void refill() {
    std::size_t bytes = static_cast<std::size_t>((63 - bits_) >> 3);
    const std::size_t available = static_cast<std::size_t>(pos_ - start_);
    if (bytes > available) bytes = available;
    if (bytes == 0) return;
    pos_ -= bytes;
    std::uint64_t incoming = 0;
    for (std::size_t i = bytes; i-- > 0;) incoming = incoming << 8 | pos_[i];
    accum_ = (accum_ << (8 * bytes)) | incoming;
    bits_ += static_cast<int>(8 * bytes);
  }

  // Fast refill when at least 8 bytes lie before the read position.
  void refillFast() {
    if (pos_ - start_ < 8) {
      refill();
      return;
    }
    const int bytes = (63 - bits_) >> 3;
    if (bytes == 0) return;
    pos_ -= bytes;
    const std::uint64_t word = load64(pos_);
    const int shift = 8 * bytes;
    accum_ = (accum_ << shift) | (word & ((std::uint64_t{1} << shift) - 1));
    bits_ += shift;
  }

  // The next `n` bits (n <= 56 after a refill); sets `failed` when the
  // payload has fewer.
  std::uint64_t pull(int n) {
    if (n > bits_) {
      failed = true;
      return 0;
    }
    bits_ -= n;
    const std::uint64_t result = accum_ >> bits_;
    accum_ &= (std::uint64_t{1} << bits_) - 1;
    return result;
  }

  bool failed = false;

 private:
  const std::uint8_t* start_ = nullptr;
  const std::uint8_t* pos_ = nullptr;
  std::uint64_t accum_ = 0;
  int bits_ = 0;
};

inline std::uint8_t decodeLiteral(std::uint32_t& state, const LiteralEntry* table, BackwardBits& in) {
  const LiteralEntry e = table[state];
  state = static_cast<std::uint32_t>(e.delta + static_cast<std::int32_t>(in.pull(e.bits)));
  return e.symbol;
}

inline std::uint32_t decodeValue(std::uint32_t& state, const ValueEntry* table, BackwardBits& in) {
  const ValueEntry e = table[state];
  const auto bits = static_cast<std::uint32_t>(in.pull(e.totalBits));
  state = static_cast<std::uint32_t>(e.delta + static_cast<std::int32_t>(bits >> e.valueBits));
  return static_cast<std::uint32_t>(e.base) + (bits & ((1u << e.valueBits) - 1));
}

// Copies `length` bytes from `distance` bytes back; `dst` has kSlack bytes
// of room past `length`, and the source lies entirely in the output.
inline void copyMatch(std::uint8_t* dst, std::size_t distance, std::size_t length) {
  const std::uint8_t* src = dst - distance;
  if (distance >= 16) {
    for (std::size_t i = 0; i < length; i += 16) std::memcpy(dst + i, src + i, 16);
  } else if (distance >= 8) {
    for (std::size_t i = 0; i < length; i += 8) std::memcpy(dst + i, src + i, 8);
  } else if (distance == 1) {
    std::memset(dst, *src, length);
  } else {
    for (std::size_t i = 0; i < length; ++i) dst[i] = src[i];
  }
}

struct Tables {
  LiteralEntry literal[kLiteralStates];
  ValueEntry l[kLStates];
  ValueEntry m[kMStates];
  ValueEntry d[kDStates];
};

// Decodes one "bvx1" / "bvx2" block whose header is parsed and whose
// payloads lie in [payload, payload + literal + lmd bytes). The block's
// bytes go to out[pos, pos + rawBytes); out has kSlack bytes more.
bool decodeCompressedBlock(const CompressedHeader& h, const std::uint8_t* payload, Tables& tables,
                           std::vector<std::uint8_t>& literals, std::uint8_t* out, std::size_t pos) {
  for (auto state : h.literalState) {
    if (state >= kLiteralStates) return false;
  }
  if (h.lState >= kLStates || h.mState >= kMStates || h.dState >= kDStates) return false;
  // Literals are padded to a multiple of four; more than the block's bytes
  // plus padding cannot be used.
  if (h.literals > static_cast<std::uint64_t>(h.rawBytes) + 4) return false;
  // Every match adds at least one byte (the encoder never writes an empty
  // one); the bound keeps a damaged header from looping billions of times.
  if (h.matches > static_cast<std::uint64_t>(h.rawBytes) + 64) return false;
  const std::uint16_t* f = h.frequencies;
  if (!buildValueTable(kLStates, kLSymbols, f, kLExtraBits, kLBase, tables.l) ||
      !buildValueTable(kMStates, kMSymbols, f + kLSymbols, kMExtraBits, kMBase, tables.m) ||
      !buildValueTable(kDStates, kDSymbols, f + kLSymbols + kMSymbols, kDExtraBits, kDBase, tables.d) ||
      !buildLiteralTable(f + kLSymbols + kMSymbols + kDSymbols, tables.literal)) {
    return false;
  }

  const std::size_t literalCount = h.literals;
  const std::size_t rounded = (literalCount + 3) & ~std::size_t{3};
  if (literals.size() < rounded + kSlack) literals.resize(rounded + kSlack);
  {
    BackwardBits in;
    if (!in.init(payload, payload + h.literalPayloadBytes, h.literalBits)) return false;
    std::uint32_t s0 = h.literalState[0], s1 = h.literalState[1], s2 = h.literalState[2], s3 = h.literalState[3];
    std::uint8_t* lit = literals.data();
    for (std::size_t i = 0; i < rounded; i += 4) {
      in.refillFast();
      lit[i + 0] = decodeLiteral(s0, tables.literal, in);
      lit[i + 1] = decodeLiteral(s1, tables.literal, in);
      lit[i + 2] = decodeLiteral(s2, tables.literal, in);
      lit[i + 3] = decodeLiteral(s3, tables.literal, in);
    }
    if (in.failed) return false;
  }

  const std::uint8_t* lmd = payload + h.literalPayloadBytes;
  BackwardBits in;
  if (!in.init(lmd, lmd + h.lmdPayloadBytes, h.lmdBits)) return false;
  std::uint32_t ls = h.lState, ms = h.mState, ds = h.dState;
  std::size_t distance = 0;
  const std::uint8_t* lit = literals.data();
  std::size_t litLeft = literalCount;
  std::uint8_t* dst = out + pos;
  std::uint8_t* const blockEnd = dst + h.rawBytes;
  for (std::uint32_t i = 0; i < h.matches; ++i) {
    in.refillFast();
    const std::size_t l = decodeValue(ls, tables.l, in);
    const std::size_t m = decodeValue(ms, tables.m, in);
    const std::size_t d = decodeValue(ds, tables.d, in);
    if (in.failed) return false;
    if (d != 0) distance = d;
    if (l > litLeft || l + m > static_cast<std::size_t>(blockEnd - dst)) return false;
    if (l <= 16) {
      std::memcpy(dst, lit, 16);
    } else {
      std::memcpy(dst, lit, l);
    }
    dst += l;
    lit += l;
    litLeft -= l;
    if (m != 0) {
      // The distance may reach into earlier blocks, never before the start.
      if (distance == 0 || distance > static_cast<std::size_t>(dst - out)) return false;
      copyMatch(dst, distance, m);
      dst += m;
    }
  }
  return dst == blockEnd;
}

enum class LzvnOp : std::uint8_t { smallDistance, mediumDistance, largeDistance, previousDistance, smallMatch,
                                   largeMatch, smallLiteral, largeLiteral, nop, endOfStream, undefined };

constexpr LzvnOp classifyLzvn(int op) {
  if (op >= 0xF0) return op == 0xF0 ? LzvnOp::largeMatch : LzvnOp::smallMatch;
  if (op >= 0xE0) return op == 0xE0 ? LzvnOp::largeLiteral : LzvnOp::smallLiteral;
  if (op >= 0xD0) return LzvnOp::undefined;
  if (op >= 0xA0 && op < 0xC0) return LzvnOp::mediumDistance;
  if (op >= 0x70 && op < 0x80) return LzvnOp::undefined;
  const int low = op & 7;
  if (low == 7) return LzvnOp::largeDistance;
  if (low == 6) {
    if (op >= 0x40) return LzvnOp::previousDistance;
    if (op == 0x06) return LzvnOp::endOfStream;
    if (op == 0x0E || op == 0x16) return LzvnOp::nop;
    return LzvnOp::undefined;
  }
  return LzvnOp::smallDistance;
}

constexpr std::array<LzvnOp, 256> kLzvnOps = [] {
  std::array<LzvnOp, 256> ops{};
  for (int i = 0; i < 256; ++i) ops[static_cast<std::size_t>(i)] = classifyLzvn(i);
  return ops;
}();

// Decodes an LZVN payload into out[pos, pos + rawSize) (out has kSlack
// bytes more); the bytes before pos are earlier output.
bool decodeLzvnInto(const std::uint8_t* src, const std::uint8_t* srcEnd, std::uint8_t* out, std::size_t pos,
                    std::size_t rawSize) {
  std::uint8_t* dst = out + pos;
  std::uint8_t* const end = dst + rawSize;
  std::size_t distance = 0;
  for (;;) {
    if (src >= srcEnd) return false;
    const int op = *src;
    const std::size_t left = static_cast<std::size_t>(srcEnd - src);
    std::size_t l = 0;
    std::size_t m = 0;
    switch (kLzvnOps[static_cast<std::size_t>(op)]) {
      case LzvnOp::smallDistance:
        if (left < 2) return false;
        l = static_cast<std::size_t>(op >> 6);
        m = static_cast<std::size_t>(((op >> 3) & 7) + 3);
        distance = static_cast<std::size_t>((op & 7) << 8 | src[1]);
        src += 2;
        break;
      case LzvnOp::mediumDistance:
        if (left < 3) return false;
        l = static_cast<std::size_t>((op >> 3) & 3);
        m = static_cast<std::size_t>((((op & 7) << 2) | (src[1] & 3)) + 3);
        distance = static_cast<std::size_t>((src[1] >> 2) | (src[2] << 6));
        src += 3;
        break;
      case LzvnOp::largeDistance:
        if (left < 3) return false;
        l = static_cast<std::size_t>(op >> 6);
        m = static_cast<std::size_t>(((op >> 3) & 7) + 3);
        distance = static_cast<std::size_t>(src[1] | src[2] << 8);
        src += 3;
        break;
      case LzvnOp::previousDistance:
        l = static_cast<std::size_t>(op >> 6);
        m = static_cast<std::size_t>(((op >> 3) & 7) + 3);
        src += 1;
        break;
      case LzvnOp::smallMatch:
        m = static_cast<std::size_t>(op & 15);
        src += 1;
        break;
      case LzvnOp::largeMatch:
        if (left < 2) return false;
        m = static_cast<std::size_t>(src[1]) + 16;
        src += 2;
        break;
      case LzvnOp::smallLiteral:
        l = static_cast<std::size_t>(op & 15);
        src += 1;
        break;
      case LzvnOp::largeLiteral:
        if (left < 2) return false;
        l = static_cast<std::size_t>(src[1]) + 16;
        src += 2;
        break;
      case LzvnOp::nop:
        src += 1;
        continue;
      case LzvnOp::endOfStream:
        // The marker is eight bytes long; the block must be complete.
        return left >= 8 && dst == end;
      case LzvnOp::undefined:
        return false;
    }
    if (l != 0) {
      if (l > static_cast<std::size_t>(srcEnd - src) || l > static_cast<std::size_t>(end - dst)) return false;
      std::memcpy(dst, src, l);
      src += l;
      dst += l;
    }
    if (m != 0) {
      if (m > static_cast<std::size_t>(end - dst)) return false;
      if (distance == 0 || distance > static_cast<std::size_t>(dst - out)) return false;
      copyMatch(dst, distance, m);
      dst += m;
    }
  }
}

// Makes room for a block of `rawSize` bytes (and the slack) after the
// output so far, within `limit`.
bool openBlock(Data& out, std::size_t rawSize, std::size_t limit) {
  if (rawSize > limit - out.size()) return false;
  const std::size_t ceiling = limit > SIZE_MAX - kSlack ? SIZE_MAX : limit + kSlack;
  reserveOutput(out, out.size() + rawSize + kSlack, ceiling);
  out.resize(out.size() + rawSize + kSlack);
  return true;
}

}  // namespace

bool decodeLzvn(std::span<const std::uint8_t> payload, std::size_t rawSize, Data& output) {
  const std::size_t before = output.size();
  if (rawSize > output.max_size() - before - kSlack) return false;
  output.resize(before + rawSize + kSlack);
  const bool ok = decodeLzvnInto(payload.data(), payload.data() + payload.size(), output.data(), before, rawSize);
  output.resize(ok ? before + rawSize : before);
  return ok;
}

bool decodeLzfseInto(std::span<const std::uint8_t> input, std::size_t limit, Data& out) {
  out.clear();
  if (input.empty()) return false;
  std::vector<std::uint8_t> literals;
  std::unique_ptr<Tables> tables;
  const std::uint8_t* p = input.data();
  std::size_t left = input.size();
  for (;;) {
    if (left < 4) return false;
    const std::uint32_t magic = load32(p);
    if (magic == kEndOfStream) return true;
    const std::size_t pos = out.size();
    std::size_t blockSize = 0;
    bool ok = false;
    if (magic == kRawBlock) {
      if (left < 8) return false;
      const std::size_t rawSize = load32(p + 4);
      if (rawSize > left - 8 || !openBlock(out, rawSize, limit)) return false;
      std::memcpy(out.data() + pos, p + 8, rawSize);
      out.resize(pos + rawSize);
      blockSize = 8 + rawSize;
      ok = true;
    } else if (magic == kLzvnBlock) {
      if (left < 12) return false;
      const std::size_t rawSize = load32(p + 4);
      const std::size_t payloadSize = load32(p + 8);
      if (payloadSize > left - 12 || !openBlock(out, rawSize, limit)) return false;
      ok = decodeLzvnInto(p + 12, p + 12 + payloadSize, out.data(), pos, rawSize);
      out.resize(pos + rawSize);
      blockSize = 12 + payloadSize;
    } else if (magic == kV1Block || magic == kV2Block) {
      CompressedHeader header;
      if (!(magic == kV1Block ? parseV1Header(p, left, header) : parseV2Header(p, left, header))) {
        return false;
      }
      const std::uint64_t total = static_cast<std::uint64_t>(header.headerSize) + header.literalPayloadBytes +
                                  header.lmdPayloadBytes;
      if (total > left || !openBlock(out, header.rawBytes, limit)) return false;
      if (!tables) tables = std::make_unique<Tables>();
      ok = decodeCompressedBlock(header, p + header.headerSize, *tables, literals, out.data(), pos);
      out.resize(pos + header.rawBytes);
      blockSize = static_cast<std::size_t>(total);
    } else {
      return false;
    }
    if (!ok) return false;
    p += blockSize;
    left -= blockSize;
  }
}

std::optional<Data> decodeLzfse(std::span<const std::uint8_t> input, std::size_t limit) {
  Data out;
  if (!decodeLzfseInto(input, limit, out)) return std::nullopt;
  releaseSlack(out);
  return out;
}

}  // namespace vantrel::foundation_internal
