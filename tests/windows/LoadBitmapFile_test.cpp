#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/BackgroundWindow.h"
#include "tests/support/BitmapBuilder.h"
#include "tests/support/WineTest.h"

namespace {

// Writes the file, loads it, and gives the bitmap (null when refused).
HBITMAP LoadBytes(const ScratchFolder& scratch, const std::vector<uint8_t>& bytes) {
  std::string path = scratch / "picture.bmp";
  if (!WriteFileBytes(path, bytes.data(), bytes.size())) return nullptr;
  return LoadBitmapFile(path.c_str());
}

TEST(LoadBitmapFile, ReadsTheSidePictureShape) {
  ScratchFolder scratch("pindle-loadbitmap");
  BitmapFields fields;
  fields.width = 120;
  fields.height = 228;
  fields.pixelBytes = 120 * 228;
  HBITMAP bitmap = LoadBytes(scratch, MakeBitmap(fields));
  ASSERT_NE(bitmap, nullptr);

  DIBSECTION dib;
  ASSERT_EQ(GetObjectA(bitmap, sizeof dib, &dib), int(sizeof dib));
  EXPECT_EQ(dib.dsBm.bmWidth, 120);
  EXPECT_EQ(dib.dsBm.bmHeight, 228);
  EXPECT_EQ(dib.dsBmih.biBitCount, 8);
  const uint8_t* bits = static_cast<const uint8_t*>(dib.dsBm.bmBits);
  EXPECT_EQ(bits[0], 1);
  EXPECT_EQ(bits[27359], uint8_t(27360)) << "the last of 27,360 pixel bytes was read";

  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  RGBQUAD colours[256];
  EXPECT_EQ(GetDIBColorTable(dc, 0, 256, colours), 256u) << "an 8-bit picture gets 256 colours";
  EXPECT_EQ(colours[1].rgbBlue, 0x44) << "entry 1 is the file's bytes 4 to 7";
  SelectObject(dc, previous);
  DeleteDC(dc);
  DeleteObject(bitmap);
}

TEST(LoadBitmapFile, RefusesFilesItCannotRead) {
  ScratchFolder scratch("pindle-loadbitmap-refused");
  EXPECT_EQ(LoadBitmapFile((scratch / "missing.bmp").c_str()), nullptr);
  std::vector<uint8_t> notBitmap = MakeBitmap(BitmapFields());
  notBitmap[1] = 'N';
  EXPECT_EQ(LoadBytes(scratch, notBitmap), nullptr) << "not BM";
  BitmapFields core;
  core.headerSize = 12;
  EXPECT_EQ(LoadBytes(scratch, MakeBitmap(core)), nullptr) << "core header";
}

// Headers that lie about what the file holds: refused, or read only into the pixel memory.
TEST(LoadBitmapFile, HeadersThatLie) {
  ScratchFolder scratch("pindle-loadbitmap-lies");
  struct Case {
    const char* what;
    BitmapFields fields;
    bool loads;
  };
  BitmapFields bigImage;  // 64 x 64 x 8 bits: exactly one page of pixels, claims 2 GB
  bigImage.width = 64;
  bigImage.height = 64;
  bigImage.imageSize = 0x7FFFFFFF;
  bigImage.pixelBytes = 3 * 4096;
  BitmapFields manyColours;
  manyColours.coloursUsed = 300;
  BitmapFields overflowingColours;
  overflowingColours.coloursUsed = 0x40000001;
  BitmapFields farBits;
  farBits.bitsOffset = 0x7FFFFF00;
  Case cases[] = {
      {"image size beyond the pixel memory", bigImage, true},
      {"colour count above 256", manyColours, false},
      {"colour count that overflows", overflowingColours, false},
      {"bits offset past the end", farBits, true},
  };
  for (const Case& c : cases) {
    HBITMAP bitmap = LoadBytes(scratch, MakeBitmap(c.fields));
    EXPECT_EQ(bitmap != nullptr, c.loads) << c.what;
    if (bitmap) DeleteObject(bitmap);
  }
}

}  // namespace
