#include "app/Gradient.h"

#include <gtest/gtest.h>

namespace {

const uint32_t kGradientColour = 7579202;
const uint32_t kPageColour = 15204285;

struct BandCase {
  int band;
  int red, green, blue;
};

// The bands of the product's two colours.
const BandCase kBands[] = {
    {0, 189, 255, 231}, {1, 188, 254, 230}, {127, 119, 190, 159},
    {191, 84, 157, 122}, {253, 50, 125, 87}, {254, 50, 125, 87},
};

TEST(GradientBandColour, ProductColours) {
  for (const BandCase& c : kBands) {
    uint32_t colour = GradientBandColour(kGradientColour, kPageColour, c.band);
    EXPECT_EQ(RedOf(colour), c.red) << "band " << c.band;
    EXPECT_EQ(GreenOf(colour), c.green) << "band " << c.band;
    EXPECT_EQ(BlueOf(colour), c.blue) << "band " << c.band;
  }
}

TEST(GradientBandColour, StaysBetweenBaseAndTopColour) {
  // A top colour darker than the base makes the differences negative: the division must
  // truncate toward zero and every band stay within the two colours.
  uint32_t gradient = MakeColour(255, 0, 128), page = MakeColour(0, 255, 128);
  for (int band = 0; band < kGradientBands; ++band) {
    uint32_t c = GradientBandColour(gradient, page, band);
    EXPECT_LE(RedOf(c), 192) << band;  // base red is 255 - 63
    EXPECT_GE(GreenOf(c), 0) << band;
    EXPECT_LE(GreenOf(c), 255) << band;
  }
  EXPECT_EQ(GradientBandColour(gradient, page, 0), page);
  EXPECT_EQ(GradientBandColour(gradient, page, 254), MakeColour(192, 0, 96));
}

TEST(GradientBandHeight, ReachesTheBottom) {
  EXPECT_EQ(GradientBandHeight(768), 4);  // bands 0 to 191 visible
  EXPECT_EQ(GradientBandHeight(254), 1);  // only band 254 clipped
  EXPECT_EQ(GradientBandHeight(255), 2);  // bands 128 to 254 clipped
  EXPECT_EQ(GradientBandHeight(0), 1);
}

}  // namespace
