// Arbitrary bytes as a bitmap file beside the setup program: the reader must refuse it or
// read it without touching memory outside what it was given.
#include <stdint.h>
#include <stdlib.h>

#include "app/BitmapFile.h"
#include "tests/support/MemoryBitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryBitmapSource source(data, size);
  FencedBitmapTarget target(uint64_t(1) << 22);  // larger pictures count as a failed creation
  if (ReadBitmap(source, target) && !target.FenceIntact()) abort();
  return 0;
}
