// A bitmap file held in memory, and a bitmap target whose pixel memory is fenced by
// sentinel bytes, for the bitmap reader's tests and fuzz target.
#pragma once
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "app/BitmapFile.h"

class MemoryBitmapSource : public BitmapSource {
 public:
  MemoryBitmapSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Seek(uint32_t offset) override {
    position_ = offset;  // like a file: seeking past the end works, reading there gives nothing
    return true;
  }
  size_t Read(void* buffer, size_t size) override {
    if (position_ >= size_) return 0;
    size_t available = size_ - position_;
    if (size > available) size = available;
    memcpy(buffer, data_ + position_, size);
    position_ += size;
    return size;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

// Allocates exactly the pixel memory a DIB section of the header's shape would have, with
// kFence sentinel bytes after it, and keeps a copy of the header block it was given.
class FencedBitmapTarget : public BitmapTarget {
 public:
  static constexpr size_t kFence = 64;
  static constexpr uint8_t kSentinel = 0xEF;
  // Pixel memory larger than this is refused, as a failed DIB creation.
  explicit FencedBitmapTarget(uint64_t limit = kBitmapMaxPixelBytes) : limit_(limit) {}

  uint8_t* Create(const uint8_t* headerBlock, size_t blockSize, uint64_t* pixelBytes) override {
    header.assign(headerBlock, headerBlock + blockSize);
    int32_t width, height;
    uint16_t bitCount;
    memcpy(&width, headerBlock + 4, 4);
    memcpy(&height, headerBlock + 8, 4);
    memcpy(&bitCount, headerBlock + 14, 2);
    uint64_t bytes = DibPixelBytes(width, height, bitCount);
    if (bytes == 0 || bytes > limit_) return nullptr;
    pixels.assign(size_t(bytes) + kFence, kSentinel);
    *pixelBytes = bytes;
    return pixels.data();
  }

  // True when no byte behind the pixel memory was written.
  bool FenceIntact() const {
    for (size_t i = pixels.size() - kFence; i < pixels.size(); ++i) {
      if (pixels[i] != kSentinel) return false;
    }
    return true;
  }

  std::vector<uint8_t> header;
  std::vector<uint8_t> pixels;

 private:
  uint64_t limit_;
};
