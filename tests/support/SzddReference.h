// Checks of the SZDD packer that need no Windows: memory sinks, and the smallest parse cost
// found by brute force (every distance at every position), to hold the packer's parse against.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <vector>

#include "tools/szdd/SzddFormat.h"

// Collects what is written; refuses once `limit` bytes have arrived.
class VectorSink : public ByteSink {
 public:
  explicit VectorSink(size_t limit = SIZE_MAX) : limit_(limit) {}
  bool Write(const uint8_t* data, size_t size) override {
    if (size > limit_ - bytes.size()) return false;
    bytes.insert(bytes.end(), data, data + size);
    return true;
  }
  std::vector<uint8_t> bytes;

 private:
  size_t limit_;
};

// The least 9 * literals + 17 * matches over all parses of the input, with every match of 3
// to 18 bytes at every distance from 1 to 4096, the ring's initial spaces before the input.
// Quadratic in the ring: for inputs of a few kilobytes. A fuzz target need not trace it.
#if defined(__clang__)
__attribute__((no_sanitize("coverage")))
#endif
inline uint64_t SzddBruteForceCost(const uint8_t* data, size_t size) {
  auto at = [&](int64_t i) -> uint8_t { return i < 0 ? kSzddRingFill : data[i]; };
  std::vector<uint64_t> cost(size + 1, UINT64_MAX);
  cost[0] = 0;
  for (size_t p = 0; p < size; ++p) {
    size_t limit = size - p < kSzddMaxMatch ? size - p : kSzddMaxMatch;
    size_t longest = 0;
    for (int64_t d = 1; d <= int64_t(kSzddRingSize) && longest < limit; ++d) {
      size_t length = 0;
      while (length < limit && data[p + length] == at(int64_t(p + length) - d)) ++length;
      if (length > longest) longest = length;
    }
    if (cost[p] + 9 < cost[p + 1]) cost[p + 1] = cost[p] + 9;
    for (size_t length = kSzddMinMatch; length <= longest; ++length) {
      if (cost[p] + 17 < cost[p + length]) cost[p + length] = cost[p] + 17;
    }
  }
  return cost[size];
}
