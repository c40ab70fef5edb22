// Arithmetic of the background gradient. Needs no Windows.
#pragma once
#include <stdint.h>

// Number of bands from the top colour to the base colour.
constexpr int kGradientBands = 255;

// Colours are 0x00BBGGRR values: red in the low byte, then green, then blue.
constexpr uint32_t MakeColour(int red, int green, int blue) {
  return uint32_t(red) | (uint32_t(green) << 8) | (uint32_t(blue) << 16);
}
constexpr int RedOf(uint32_t colour) { return int(colour & 0xFF); }
constexpr int GreenOf(uint32_t colour) { return int((colour >> 8) & 0xFF); }
constexpr int BlueOf(uint32_t colour) { return int((colour >> 16) & 0xFF); }

// Height of one band for a client area `clientBottom` pixels high: 255 bands always
// reach at least the bottom; what lies below it is clipped.
int GradientBandHeight(int clientBottom);

// Colour of band 0..254: band 0 is `pageColour`; band 254 is `gradientColour` less a quarter
// of each component; the bands between step linearly (signed division toward zero).
uint32_t GradientBandColour(uint32_t gradientColour, uint32_t pageColour, int band);
