#include "app/Gradient.h"

namespace {

int BandComponent(int c1, int c2, int band) {
  int base = c1 - c1 / 4;
  return base + ((c2 - base) * (kGradientBands - 1 - band)) / (kGradientBands - 1);
}

}  // namespace

int GradientBandHeight(int clientBottom) { return clientBottom / kGradientBands + 1; }

uint32_t GradientBandColour(uint32_t gradientColour, uint32_t pageColour, int band) {
  return MakeColour(BandComponent(RedOf(gradientColour), RedOf(pageColour), band),
                    BandComponent(GreenOf(gradientColour), GreenOf(pageColour), band),
                    BandComponent(BlueOf(gradientColour), BlueOf(pageColour), band));
}
