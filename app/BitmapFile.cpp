#include "app/BitmapFile.h"

#include <stdlib.h>
#include <string.h>

namespace {

constexpr uint16_t kBitmapType = 0x4D42;  // "BM"
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kPlainRgb = 0;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kBitFieldMasks = 3;
// A header of at least this size holds the three bit masks itself (bytes 40 to 51).
constexpr uint32_t kHeaderWithMasks = 52;

uint16_t Read16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Read32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
void Write32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

bool IsKnownBitCount(uint16_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

uint64_t Magnitude(int32_t value) { return value < 0 ? uint64_t(-int64_t(value)) : uint64_t(value); }

}  // namespace

uint64_t DibPixelBytes(int32_t width, int32_t height, uint16_t bitCount) {
  if (width <= 0 || height == 0 || !IsKnownBitCount(bitCount)) return 0;
  uint64_t rowBytes = ((uint64_t(bitCount) * uint64_t(width) + 31) & ~uint64_t(31)) / 8;
  return rowBytes * Magnitude(height);
}

bool CheckBitmapHeaders(const uint8_t fileHeader[kBitmapFileHeaderSize],
                        const uint8_t infoHeader[kBitmapInfoHeaderSize], BitmapLayout* layout) {
  if (Read16(fileHeader) != kBitmapType) return false;
  uint32_t headerSize = Read32(infoHeader);
  if (headerSize == kCoreHeaderSize || headerSize < kBitmapInfoHeaderSize) return false;

  BitmapLayout l;
  l.width = int32_t(Read32(infoHeader + 4));
  l.height = int32_t(Read32(infoHeader + 8));
  l.bitCount = Read16(infoHeader + 14);
  l.compression = Read32(infoHeader + 16);
  l.imageSize = Read32(infoHeader + 20);
  uint32_t coloursUsed = Read32(infoHeader + 32);
  l.bitsOffset = Read32(fileHeader + 10);

  uint64_t pixelBytes = DibPixelBytes(l.width, l.height, l.bitCount);
  if (pixelBytes == 0 || pixelBytes > kBitmapMaxPixelBytes) return false;

  if (l.compression == kPlainRgb) {
    uint32_t addressable = l.bitCount <= 8 ? (uint32_t(1) << l.bitCount) : kBitmapMaxColours;
    if (coloursUsed == 0 && l.bitCount <= 8) coloursUsed = addressable;
    if (coloursUsed > addressable) return false;
    l.colourEntries = coloursUsed;
    l.colourTableOffset = uint32_t(kBitmapFileHeaderSize) + headerSize;
  } else if (l.compression == kBitFields && (l.bitCount == 16 || l.bitCount == 32)) {
    l.colourEntries = kBitFieldMasks;
    l.colourTableOffset = uint32_t(kBitmapFileHeaderSize) +
                          (headerSize >= kHeaderWithMasks ? uint32_t(kBitmapInfoHeaderSize) : headerSize);
  } else {
    return false;  // run-length or other compressed pictures
  }
  if (l.colourTableOffset < headerSize) return false;  // header size near 4 GB wrapped around

  if (l.imageSize == 0) l.imageSize = uint32_t(pixelBytes);
  *layout = l;
  return true;
}

bool ReadBitmap(BitmapSource& source, BitmapTarget& target) {
  uint8_t fileHeader[kBitmapFileHeaderSize];
  uint8_t infoHeader[kBitmapInfoHeaderSize];
  if (source.Read(fileHeader, sizeof fileHeader) != sizeof fileHeader) return false;
  if (source.Read(infoHeader, sizeof infoHeader) != sizeof infoHeader) return false;
  BitmapLayout layout;
  if (!CheckBitmapHeaders(fileHeader, infoHeader, &layout)) return false;

  // The header handed on is the 40-byte one, whatever the file had, with its colour count.
  size_t blockSize = kBitmapInfoHeaderSize + 4 * size_t(layout.colourEntries);
  uint8_t* block = static_cast<uint8_t*>(calloc(1, blockSize));
  if (!block) return false;
  memcpy(block, infoHeader, kBitmapInfoHeaderSize);
  Write32(block, kBitmapInfoHeaderSize);
  if (layout.compression == 0) Write32(block + 32, layout.colourEntries);
  Write32(block + 20, 0);  // the target sizes its pixel memory from the shape alone
  if (layout.colourEntries != 0 && source.Seek(layout.colourTableOffset)) {
    source.Read(block + kBitmapInfoHeaderSize, 4 * size_t(layout.colourEntries));
  }

  uint64_t pixelBytes = 0;
  uint8_t* pixels = target.Create(block, blockSize, &pixelBytes);
  free(block);
  if (!pixels) return false;

  uint64_t toRead = layout.imageSize < pixelBytes ? layout.imageSize : pixelBytes;
  uint64_t bitsOffset = layout.bitsOffset != 0
                            ? layout.bitsOffset
                            : uint64_t(layout.colourTableOffset) + 4 * uint64_t(layout.colourEntries);
  bool positioned = bitsOffset <= UINT32_MAX && source.Seek(uint32_t(bitsOffset));
  if (positioned) source.Read(pixels, size_t(toRead));
  return true;
}
