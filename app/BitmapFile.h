// Reading a Windows bitmap file (.bmp) into the memory of a device-independent bitmap.
// Needs no Windows: the caller supplies where the bytes come from and where the pixels go.
//
// Anyone can put a bitmap beside the setup program, so every header field is checked
// against the memory it describes: a file whose headers lie is refused, or read only as
// far as the memory it was given.
#pragma once
#include <stddef.h>
#include <stdint.h>

constexpr size_t kBitmapFileHeaderSize = 14;
constexpr size_t kBitmapInfoHeaderSize = 40;
constexpr uint32_t kBitmapMaxColours = 256;
// Pictures whose pixels would need more memory than this are refused.
constexpr uint64_t kBitmapMaxPixelBytes = uint64_t(1) << 28;

// What the headers of a file say, once checked.
struct BitmapLayout {
  int32_t width = 0;
  int32_t height = 0;               // negative: rows stored top-down
  uint16_t bitCount = 0;            // 1, 4, 8, 16, 24 or 32
  uint32_t compression = 0;         // 0 plain RGB, 3 bit fields
  uint32_t colourEntries = 0;       // 4-byte entries behind the header: colours, or 3 bit masks
  uint32_t colourTableOffset = 0;   // file offset of those entries
  uint32_t bitsOffset = 0;          // file offset of the pixels; 0: right after the entries
  uint32_t imageSize = 0;           // pixel bytes the file declares (or the computed size)
};

// Checks the 14-byte file header and the first 40 bytes of the information header.
// False for a file that is not "BM", a core header (12 bytes) or any other header shorter
// than 40, a bit count other than 1, 4, 8, 16, 24, 32, a compressed picture, a width or
// height of 0 or beyond what fits kBitmapMaxPixelBytes, and a colour count above what
// the bit count can address (never above 256).
bool CheckBitmapHeaders(const uint8_t fileHeader[kBitmapFileHeaderSize],
                        const uint8_t infoHeader[kBitmapInfoHeaderSize], BitmapLayout* layout);

// Bytes of pixel memory of a device-independent bitmap of that shape: rows rounded up to
// four bytes, times the number of rows. 0 when the shape is invalid.
uint64_t DibPixelBytes(int32_t width, int32_t height, uint16_t bitCount);

// Where the bytes of a bitmap file come from.
class BitmapSource {
 public:
  virtual ~BitmapSource() = default;
  // Moves to a position from the start of the file. False when that is impossible.
  virtual bool Seek(uint32_t offset) = 0;
  // Reads up to `size` bytes; returns how many arrived (fewer at the end of the file).
  virtual size_t Read(void* buffer, size_t size) = 0;
};

// Where the pixels go.
class BitmapTarget {
 public:
  virtual ~BitmapTarget() = default;
  // Makes the bitmap from a 40-byte information header followed by `colourEntries`
  // 4-byte entries; returns its pixel memory and that memory's size in bytes, or null.
  virtual uint8_t* Create(const uint8_t* headerBlock, size_t blockSize,
                          uint64_t* pixelBytes) = 0;
};

// Reads the headers and the colour table from `source`, has `target` make the bitmap and
// reads the pixels into it, at most as many bytes as its pixel memory holds. A short file
// leaves the rest of the pixels as the target made them. False when the headers are
// refused, memory runs out or the target made no bitmap.
bool ReadBitmap(BitmapSource& source, BitmapTarget& target);
