#include "app/BitmapFile.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/BitmapBuilder.h"
#include "tests/support/MemoryBitmap.h"

namespace {

bool Check(const std::vector<uint8_t>& file, BitmapLayout* layout) {
  return CheckBitmapHeaders(file.data(), file.data() + 14, layout);
}

TEST(CheckBitmapHeaders, ColourTableFollowsTheBitCount) {
  struct Case {
    uint16_t bitCount;
    uint32_t coloursUsed;
    uint32_t expectedEntries;
  } cases[] = {
      /* 0 */ {8, 0, 256},  // an 8-bit picture without a count gets the full table
      /* 1 */ {8, 16, 16},
      /* 2 */ {4, 0, 16},
      /* 3 */ {1, 0, 2},
      /* 4 */ {24, 0, 0},  // a 24-bit picture without a count gets none
      /* 5 */ {32, 0, 0},
      /* 6 */ {16, 0, 0},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    BitmapFields fields;
    fields.bitCount = cases[i].bitCount;
    fields.coloursUsed = cases[i].coloursUsed;
    BitmapLayout layout;
    ASSERT_TRUE(Check(MakeBitmap(fields), &layout)) << "case " << i;
    EXPECT_EQ(layout.colourEntries, cases[i].expectedEntries) << "case " << i;
  }
}

TEST(CheckBitmapHeaders, ImageSizeComputedWhenAbsent) {
  BitmapFields fields;
  fields.width = 120;
  fields.height = 228;
  BitmapLayout layout;
  ASSERT_TRUE(Check(MakeBitmap(fields), &layout));
  EXPECT_EQ(layout.imageSize, 27360u);  // 120 is already a multiple of 4
  fields.width = 121;                     // rows padded to 124 bytes
  fields.height = -228;                   // top-down: the size still counts 228 rows
  ASSERT_TRUE(Check(MakeBitmap(fields), &layout));
  EXPECT_EQ(layout.imageSize, 124u * 228u);
}

TEST(CheckBitmapHeaders, RefusesWhatItCannotRead) {
  struct Case {
    const char* what;
    BitmapFields fields;
    bool brokenType;
  };
  std::vector<Case> cases;
  auto add = [&](const char* what, void (*change)(BitmapFields&), bool brokenType = false) {
    BitmapFields fields;
    change(fields);
    cases.push_back({what, fields, brokenType});
  };
  add("not BM", [](BitmapFields&) {}, true);
  add("core header", [](BitmapFields& s) { s.headerSize = 12; });
  add("header shorter than 40", [](BitmapFields& s) { s.headerSize = 16; });
  add("8-bit colour count above 256", [](BitmapFields& s) { s.coloursUsed = 257; });
  add("4-bit colour count above 16", [](BitmapFields& s) { s.bitCount = 4; s.coloursUsed = 17; });
  add("colour count that overflows", [](BitmapFields& s) { s.coloursUsed = 0x40000001; });
  add("24-bit colour count above 256", [](BitmapFields& s) { s.bitCount = 24; s.coloursUsed = 0xFFFFFFFF; });
  add("bit count 7", [](BitmapFields& s) { s.bitCount = 7; });
  add("width 0", [](BitmapFields& s) { s.width = 0; });
  add("negative width", [](BitmapFields& s) { s.width = -4; });
  add("height 0", [](BitmapFields& s) { s.height = 0; });
  add("run-length compressed", [](BitmapFields& s) { s.compression = 1; });
  add("bit fields on 8 bits", [](BitmapFields& s) { s.compression = 3; });
  add("pixels beyond any sane size", [](BitmapFields& s) { s.width = 0x7FFFFFFF; s.height = 0x7FFFFFFF; s.bitCount = 32; });
  add("header size near 4 GB", [](BitmapFields& s) { s.headerSize = 0xFFFFFFF8; });
  for (const Case& c : cases) {
    std::vector<uint8_t> file = MakeBitmap(c.fields);
    if (c.brokenType) file[0] = 'X';
    BitmapLayout layout;
    EXPECT_FALSE(Check(file, &layout)) << c.what;
  }
}

TEST(ReadBitmap, ReadsHeaderColoursAndPixels) {
  BitmapFields fields;  // 4 x 2, 8 bits: 8 bytes of pixels, 256 colours
  std::vector<uint8_t> file = MakeBitmap(fields);
  MemoryBitmapSource source(file.data(), file.size());
  FencedBitmapTarget target;
  ASSERT_TRUE(ReadBitmap(source, target));
  ASSERT_EQ(target.header.size(), 40u + 1024u);
  EXPECT_EQ(target.header[32], 0) << "colour count 256 in the header handed on";
  EXPECT_EQ(target.header[33], 1);
  EXPECT_EQ(target.header[40], 0x40) << "first colour entry";
  EXPECT_EQ(target.header[40 + 1023], uint8_t(0x40 + 1023 % 64)) << "last colour entry";
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(target.pixels[i], uint8_t(i + 1)) << "pixel byte " << i;
  EXPECT_TRUE(target.FenceIntact());
}

TEST(ReadBitmap, NeverWritesPastThePixelMemory) {
  struct Case {
    const char* what;
    uint32_t imageSize;
    size_t pixelBytes;
  } cases[] = {
      {"image size larger than the pixel memory", 0x7FFFFFFF, 4096},
      {"image size a little larger", 9, 9},
  };
  for (const Case& c : cases) {
    BitmapFields fields;
    fields.imageSize = c.imageSize;
    fields.pixelBytes = c.pixelBytes;
    std::vector<uint8_t> file = MakeBitmap(fields);
    MemoryBitmapSource source(file.data(), file.size());
    FencedBitmapTarget target;
    ASSERT_TRUE(ReadBitmap(source, target)) << c.what;
    EXPECT_TRUE(target.FenceIntact()) << c.what;
    EXPECT_EQ(target.pixels[7], 8) << c.what << ": the pixel memory itself is filled";
  }
}

TEST(ReadBitmap, BitsOffsetPastTheEndLeavesThePixelsAlone) {
  BitmapFields fields;
  fields.bitsOffset = 0x7FFFFFF0;
  std::vector<uint8_t> file = MakeBitmap(fields);
  MemoryBitmapSource source(file.data(), file.size());
  FencedBitmapTarget target;
  ASSERT_TRUE(ReadBitmap(source, target));
  EXPECT_EQ(target.pixels[0], FencedBitmapTarget::kSentinel);
  EXPECT_TRUE(target.FenceIntact());
}

TEST(ReadBitmap, LongerHeaderKeepsItsColourTable) {
  BitmapFields fields;
  fields.headerSize = 124;  // a version 5 header: the colours follow its 124 bytes
  fields.coloursUsed = 2;
  fields.colourBytes = 8;
  std::vector<uint8_t> file = MakeBitmap(fields);
  MemoryBitmapSource source(file.data(), file.size());
  FencedBitmapTarget target;
  ASSERT_TRUE(ReadBitmap(source, target));
  ASSERT_EQ(target.header.size(), 48u);
  EXPECT_EQ(target.header[0], 40) << "the header handed on is the 40-byte one";
  EXPECT_EQ(target.header[40], 0x40);
  EXPECT_EQ(target.header[47], 0x47);
  EXPECT_EQ(target.pixels[0], 1);
}

TEST(ReadBitmap, TruncatedFileIsRefusedOrShort) {
  BitmapFields fields;
  std::vector<uint8_t> file = MakeBitmap(fields);
  for (size_t size = 0; size < file.size(); size += 7) {
    MemoryBitmapSource source(file.data(), size);
    FencedBitmapTarget target;
    bool read = ReadBitmap(source, target);
    EXPECT_EQ(read, size >= 54) << "file cut at " << size << " bytes";
    if (read) {
      EXPECT_TRUE(target.FenceIntact()) << size;
    }
  }
}

}  // namespace
