// Arbitrary bytes through the SZDD packer: the reference expander must give them back
// exactly, the packed size must follow from the parse, small inputs must cost what the
// brute-force best parse costs, and a tiny parse window must still give a correct output
// (the very same output unless it had to force a decision).
#include <stdint.h>
#include <stdlib.h>

#include "tests/support/SzddReference.h"
#include "tools/szdd/SzddExpander.h"
#include "tools/szdd/SzddPacker.h"

namespace {

void CheckRoundTrip(const uint8_t* data, size_t size, const std::vector<uint8_t>& packed) {
  VectorSink expanded;
  if (!ExpandSzdd(packed.data(), packed.size(), expanded)) abort();
  if (expanded.bytes.size() != size) abort();
  for (size_t i = 0; i < size; ++i) {
    if (expanded.bytes[i] != data[i]) abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  VectorSink packed;
  SzddPackStats stats;
  if (!PackSzdd(data, size, packed, &stats)) abort();
  CheckRoundTrip(data, size, packed.bytes);
  if (packed.bytes.size() != SzddPackedSize(stats.literals, stats.matches)) abort();
  if (stats.forcedCuts != 0) abort();
  if (size <= 1024 && stats.literals * 9 + stats.matches * 17 != SzddBruteForceCost(data, size)) {
    abort();
  }

  VectorSink tiny;
  SzddPackStats tinyStats;
  if (!PackSzdd(data, size, tiny, &tinyStats, 64)) abort();
  CheckRoundTrip(data, size, tiny.bytes);
  if (tinyStats.forcedCuts == 0 && tiny.bytes != packed.bytes) abort();
  return 0;
}
