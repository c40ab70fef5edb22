// Builds bitmap files byte by byte, with headers that may lie, for the bitmap reader's tests.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <vector>

inline void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = uint8_t(x);
  v[at + 1] = uint8_t(x >> 8);
}
inline void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i));
}

// A bitmap file: headers as given, `colourBytes` bytes of colour table, then the pixel bytes.
struct BitmapFields {
  int32_t width = 4;
  int32_t height = 2;
  uint16_t bitCount = 8;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
  uint32_t imageSize = 0;
  uint32_t headerSize = 40;
  int64_t bitsOffset = -1;  // -1: right after the colour table
  size_t colourBytes = 1024;
  size_t pixelBytes = 8;
};

inline std::vector<uint8_t> MakeBitmap(const BitmapFields& s) {
  size_t headerBytes = s.headerSize >= 40 && s.headerSize < 4096 ? s.headerSize : 40;
  size_t tableAt = 14 + headerBytes;
  std::vector<uint8_t> file(tableAt + s.colourBytes + s.pixelBytes, 0);
  Put16(file, 0, 0x4D42);
  Put32(file, 2, uint32_t(file.size()));
  uint32_t offset = s.bitsOffset < 0 ? uint32_t(tableAt + s.colourBytes) : uint32_t(s.bitsOffset);
  Put32(file, 10, offset);
  Put32(file, 14, s.headerSize);
  Put32(file, 18, uint32_t(s.width));
  Put32(file, 22, uint32_t(s.height));
  Put16(file, 26, 1);
  Put16(file, 28, s.bitCount);
  Put32(file, 30, s.compression);
  Put32(file, 34, s.imageSize);
  Put32(file, 46, s.coloursUsed);
  for (size_t i = 0; i < s.colourBytes; ++i) file[tableAt + i] = uint8_t(0x40 + i % 64);
  for (size_t i = 0; i < s.pixelBytes; ++i) file[tableAt + s.colourBytes + i] = uint8_t(i + 1);
  return file;
}


// A 24-bit bitmap file whose pixel at (x, y), y counted from the top row, has the colour
// pixel(x, y) gives as {red, green, blue}.
template <typename PixelColour>
std::vector<uint8_t> Make24BitBitmap(int width, int height, PixelColour pixel) {
  size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
  BitmapFields fields;
  fields.width = width;
  fields.height = height;
  fields.bitCount = 24;
  fields.colourBytes = 0;
  fields.pixelBytes = stride * size_t(height);
  fields.imageSize = uint32_t(fields.pixelBytes);
  std::vector<uint8_t> file = MakeBitmap(fields);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = &file[54 + size_t(height - 1 - y) * stride];  // rows are stored bottom-up
    for (int x = 0; x < width; ++x) {
      const auto rgb = pixel(x, y);
      row[size_t(x) * 3] = rgb[2];
      row[size_t(x) * 3 + 1] = rgb[1];
      row[size_t(x) * 3 + 2] = rgb[0];
    }
    for (size_t pad = size_t(width) * 3; pad < stride; ++pad) row[pad] = 0;
  }
  return file;
}
