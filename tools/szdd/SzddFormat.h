// The SZDD packed-file format (mode 'A'), as the LZ expansion service reads it:
//   a 14-byte header: "SZDD" 0x88 0xF0 0x27 0x33, the mode byte 'A', the last character of
//   the file name (0 when none), the expanded size as a 32-bit little-endian number;
//   then groups of one control byte, read from its lowest bit, and up to eight items: a set
//   bit is one literal byte, a clear bit a match of two bytes, b1 b2, that copies
//   (b2 & 0x0F) + 3 bytes from the absolute ring position b1 | (b2 & 0xF0) << 4.
// The ring has 4096 bytes, starts filled with spaces, and the first expanded byte goes to
// position 4096 - 16. A match is copied one byte at a time, each byte written to the ring
// before the next is read, so a match may overlap the bytes it produces.
#pragma once
#include <stddef.h>
#include <stdint.h>

constexpr size_t kSzddHeaderSize = 14;
constexpr uint8_t kSzddMagic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr uint8_t kSzddModeA = 'A';
constexpr uint32_t kSzddRingSize = 4096;
constexpr uint32_t kSzddRingStart = kSzddRingSize - 16;
constexpr uint8_t kSzddRingFill = ' ';
constexpr uint32_t kSzddMinMatch = 3;
constexpr uint32_t kSzddMaxMatch = 18;
// The largest input the 32-bit size field can describe.
constexpr uint64_t kSzddMaxExpandedSize = 0xFFFFFFFFu;

// Where packed or expanded bytes go.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // False when the bytes could not be taken; the producer then stops.
  virtual bool Write(const uint8_t* data, size_t size) = 0;
};
