// Packs bytes into the SZDD format at its minimum size.
//
// A literal costs 9 bits (8 and its control bit), a match 17 whatever its distance, so the
// shortest parse over the longest match at every position gives the fewest bytes. The
// packer finds the exact longest match (3 to 18 bytes, any distance the ring allows, the
// ring's initial spaces and overlapping copies included) and parses with a shortest-path
// search. It parses in a bounded window: a decision is written out once every parse that
// can still be best agrees on it, and parses that stay apart through long repetitive
// stretches are kept run-length coded, so memory stays bounded whatever the input's size.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "tools/szdd/SzddFormat.h"

// Positions of the parse kept at most (3 bytes each); decisions are settled long before.
constexpr size_t kSzddDefaultParseWindow = size_t(1) << 20;

struct SzddPackStats {
  uint64_t literals = 0;
  uint64_t matches = 0;
  // Times the candidate parses neither agreed nor repeated for so long that a decision had
  // to be made without the rest of the input. 0 means the output is of minimum size.
  uint64_t forcedCuts = 0;
};

// Packs `size` bytes into `sink`: the header, then the compressed data. False when the input
// is larger than the format can describe, memory runs out, or the sink refuses bytes.
// `parseWindow` (at least 64) is for tests; the default suits every input.
bool PackSzdd(const uint8_t* data, size_t size, ByteSink& sink, SzddPackStats* stats = nullptr,
              size_t parseWindow = kSzddDefaultParseWindow);

// Bytes of the packed form of an input that the parse split into these items.
inline uint64_t SzddPackedSize(uint64_t literals, uint64_t matches) {
  return kSzddHeaderSize + literals + 2 * matches + (literals + matches + 7) / 8;
}
