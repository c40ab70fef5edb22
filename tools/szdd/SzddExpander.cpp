#include "tools/szdd/SzddExpander.h"

#include <string.h>

bool ReadSzddHeader(const uint8_t* packed, size_t size, uint32_t* expandedSize) {
  if (size < kSzddHeaderSize || memcmp(packed, kSzddMagic, sizeof kSzddMagic) != 0 ||
      packed[8] != kSzddModeA) {
    return false;
  }
  *expandedSize = uint32_t(packed[10]) | uint32_t(packed[11]) << 8 | uint32_t(packed[12]) << 16 |
                  uint32_t(packed[13]) << 24;
  return true;
}

namespace {

class Output {
 public:
  explicit Output(ByteSink& sink) : sink_(sink) {}
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  void Put(uint8_t byte) {
    buffer_[used_++] = byte;
    if (used_ == sizeof buffer_) Flush();
  }
  bool Flush() {
    if (used_ != 0 && ok_) ok_ = sink_.Write(buffer_, used_);
    used_ = 0;
    return ok_;
  }

 private:
  ByteSink& sink_;
  uint8_t buffer_[65536];
  size_t used_ = 0;
  bool ok_ = true;
};

}  // namespace

bool ExpandSzdd(const uint8_t* packed, size_t size, ByteSink& out) {
  uint32_t expanded;
  if (!ReadSzddHeader(packed, size, &expanded)) return false;
  uint8_t ring[kSzddRingSize];
  memset(ring, kSzddRingFill, sizeof ring);
  uint32_t ringAt = kSzddRingStart;
  Output output(out);
  const uint8_t* in = packed + kSzddHeaderSize;
  const uint8_t* end = packed + size;
  uint32_t produced = 0;
  unsigned control = 0;  // the bits left of the current control byte, above a marker bit
  while (produced < expanded) {
    if (control <= 1) {
      if (in == end) break;
      control = 0x100u | *in++;
    }
    bool literal = control & 1;
    control >>= 1;
    if (literal) {
      if (in == end) break;
      uint8_t byte = *in++;
      ring[ringAt] = byte;
      ringAt = (ringAt + 1) % kSzddRingSize;
      output.Put(byte);
      ++produced;
      continue;
    }
    if (end - in < 2) break;
    uint32_t from = in[0] | (in[1] & 0xF0u) << 4;
    uint32_t length = (in[1] & 0x0Fu) + kSzddMinMatch;
    in += 2;
    for (uint32_t i = 0; i < length && produced < expanded; ++i) {
      uint8_t byte = ring[(from + i) % kSzddRingSize];
      ring[ringAt] = byte;
      ringAt = (ringAt + 1) % kSzddRingSize;
      output.Put(byte);
      ++produced;
    }
  }
  return output.Flush() && produced == expanded;
}
