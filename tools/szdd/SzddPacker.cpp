#include "tools/szdd/SzddPacker.h"

#include <stdlib.h>
#include <string.h>

#include <vector>

namespace {

// ---------------------------------------------------------------------------------------
// Match finder.
//
// Binary trees over the strings that start at the last 4096 positions, one tree per hash of
// a string's first three bytes, ordered by the first 18 bytes. Every insertion makes the new
// string the root of its tree and splits the old tree along the search path, so every node
// is newer than all of its descendants: a walk may stop at the first node out of reach. The
// walk that inserts a string passes its nearest neighbours in that order, which hold its
// longest match, so the length found is exact. A string equal to a node in all 18 bytes
// takes that node's place, as the newer of two equal strings serves every later match.

constexpr uint32_t kHashBits = 16;
constexpr uint32_t kCyclic = kSzddRingSize + 1;  // distances 1 to 4096 are in reach
constexpr uint32_t kNoNode = 0;                  // never in reach: positions start at kCyclic
constexpr uint32_t kRenumberAt = 0xF0000000u;

// How many bytes from `from` on two strings share, at most `limit`; reads up to 7 bytes
// beyond `limit` of both.
inline uint32_t CommonLength(const uint8_t* a, const uint8_t* b, uint32_t from, uint32_t limit) {
  uint32_t length = from;
  while (length < limit) {
    uint64_t x, y;
    memcpy(&x, a + length, sizeof x);
    memcpy(&y, b + length, sizeof y);
    if (uint64_t differ = x ^ y) {
      length += uint32_t(__builtin_ctzll(differ)) >> 3;  // little-endian: first byte lowest
      break;
    }
    length += sizeof x;
  }
  return length < limit ? length : limit;
}

struct MatchTree {
  uint32_t heads[1u << kHashBits];
  uint32_t children[2 * kCyclic];  // per node: the smaller child, then the larger
  uint32_t position;               // number of the string being inserted
  uint32_t slot;                   // its node in `children`

  void Init() {
    memset(heads, 0, sizeof heads);
    memset(children, 0, sizeof children);
    position = kCyclic;
    slot = 0;
  }

  // Inserts the string at `cur`, of which `limit` bytes (3 to 18) exist, and returns the
  // length of its longest match in reach (0 to limit); *distance gets that match's distance
  // when the length is not 0. Bytes from cur - 4096 to cur + limit + 7 must be readable.
  uint32_t Insert(const uint8_t* cur, uint32_t limit, uint32_t* distance) {
    uint32_t key = uint32_t(cur[0]) | uint32_t(cur[1]) << 8 | uint32_t(cur[2]) << 16;
    uint32_t hash = (key * 0x9E3779B1u) >> (32 - kHashBits);
    uint32_t candidate = heads[hash];
    heads[hash] = position;
    uint32_t* smaller = &children[2 * slot];  // where the next node below cur hangs
    uint32_t* larger = &children[2 * slot + 1];
    uint32_t smallerLength = 0, largerLength = 0, best = 0;
    for (;;) {
      uint32_t delta = position - candidate;
      if (delta >= kCyclic) {
        *smaller = *larger = kNoNode;
        break;
      }
      uint32_t* pair = &children[2 * (slot >= delta ? slot - delta : slot + kCyclic - delta)];
      const uint8_t* old = cur - delta;
      // Both neighbours on the path share this many bytes with cur, so the node does too.
      uint32_t length = smallerLength < largerLength ? smallerLength : largerLength;
      length = CommonLength(old, cur, length, limit);
      if (length > best) {
        best = length;
        *distance = delta;
      }
      if (length == limit) {
        *smaller = pair[0];
        *larger = pair[1];
        break;
      }
      if (old[length] < cur[length]) {
        *smaller = candidate;
        smaller = &pair[1];
        candidate = pair[1];
        smallerLength = length;
      } else {
        *larger = candidate;
        larger = &pair[0];
        candidate = pair[0];
        largerLength = length;
      }
    }
    if (++slot == kCyclic) slot = 0;
    if (++position == kRenumberAt) Renumber();
    return best;
  }

  // Keeps string numbers within 32 bits: shifts them down; nodes out of reach become none.
  void Renumber() {
    uint32_t shift = position - kCyclic;
    for (uint32_t& node : heads) node = node > shift ? node - shift : kNoNode;
    for (uint32_t& node : children) node = node > shift ? node - shift : kNoNode;
    position -= shift;
  }
};

// ---------------------------------------------------------------------------------------
// Output: control bytes and their items.

class ItemWriter {
 public:
  explicit ItemWriter(ByteSink& sink) : sink_(sink) {}
  ItemWriter(const ItemWriter&) = delete;
  ItemWriter& operator=(const ItemWriter&) = delete;

  void Literal(uint8_t byte) {
    Open();
    buffer_[control_] |= uint8_t(bit_);
    buffer_[used_++] = byte;
    Next();
  }
  // A match of `length` bytes from the absolute ring position `offset`.
  void Match(uint32_t offset, uint32_t length) {
    Open();
    buffer_[used_++] = uint8_t(offset);
    buffer_[used_++] = uint8_t(((offset >> 4) & 0xF0) | (length - kSzddMinMatch));
    Next();
  }
  bool Write(const uint8_t* bytes, size_t size) { return ok_ && (ok_ = sink_.Write(bytes, size)); }
  bool Finish() {
    Flush();
    return ok_;
  }
  bool ok() const { return ok_; }

 private:
  static constexpr size_t kFlushAt = 65536;

  void Open() {
    if (bit_ != 0) return;
    if (used_ >= kFlushAt) Flush();
    control_ = used_;
    buffer_[used_++] = 0;
    bit_ = 1;
  }
  void Next() {
    bit_ <<= 1;
    if (bit_ == 0x100) bit_ = 0;
  }
  void Flush() {
    if (used_ != 0 && ok_) ok_ = sink_.Write(buffer_, used_);
    used_ = 0;
  }

  ByteSink& sink_;
  uint8_t buffer_[kFlushAt + 1 + 2 * 8];
  size_t used_ = 0;
  size_t control_ = 0;
  uint32_t bit_ = 0;
  bool ok_ = true;
};

// ---------------------------------------------------------------------------------------
// The parse: a shortest path from position 0 to the end, where position u leads to u + 1
// by a literal (9 bits) and to u + L by a match (17 bits) for every L from 3 to the longest
// match at u. Costs grow in position order, so one pass settles each position in turn; each
// settled position keeps the step by which its cheapest path reaches it (ties: the latest
// predecessor).
//
// Every path to the end passes through one of any 18 consecutive positions (no step is
// longer), so the best path is one of the chains back from the 18 latest settled positions.
// Where those chains meet, the path behind the meeting point is certain and is written out.
// Usually they meet within a few steps. In long stretches where every position has a match
// of 18 (runs, tables), they can run side by side for the whole stretch, each a chain of
// 18-byte matches: then the chains are kept, run-length coded, until they meet, and only
// what they share is written out.

constexpr uint64_t kLiteralBits = 9;
constexpr uint64_t kMatchBits = 17;
constexpr uint64_t kUnreached = ~uint64_t(0) >> 1;
constexpr size_t kCostRing = 64;       // the 18 settled positions behind and the 18 ahead
constexpr size_t kLongestRing = 32;    // the longest matches of the last 18 positions
constexpr size_t kBand = kSzddMaxMatch;

// `count` equal steps: literals (step 1), or matches of `step` bytes at `distance`.
struct StepRun {
  uint8_t step;
  uint16_t distance;
  uint32_t count;
};
typedef std::vector<StepRun> Chain;

void AppendSteps(Chain& chain, uint8_t step, uint16_t distance, uint32_t count) {
  if (step == 1) distance = 0;
  if (!chain.empty() && chain.back().step == step && chain.back().distance == distance &&
      chain.back().count <= UINT32_MAX - count) {
    chain.back().count += count;
  } else {
    chain.push_back({step, distance, count});
  }
}

class Packer {
 public:
  Packer(const uint8_t* data, size_t size, ByteSink& sink, size_t window)
      : data_(data), size_(size), writer_(sink) {
    window_ = window < 64 ? 64 : window;
    if (window_ > size_ + 64) window_ = size_ + 64;  // small inputs need little memory
  }
  ~Packer() {
    free(tree_);
    free(head_);
    free(tail_);
    free(steps_);
    free(distances_);
  }
  Packer(const Packer&) = delete;
  Packer& operator=(const Packer&) = delete;

  bool Run(SzddPackStats* stats);

 private:
  uint64_t& Cost(size_t node) { return costs_[node % kCostRing]; }
  const uint8_t* At(size_t position) const;
  void Relax(size_t from, uint32_t longest);
  size_t Root(size_t node) const;
  bool Meeting(size_t current, size_t* meeting) const;
  void Settle(size_t current);
  void Keep(size_t current);
  void ForceCut(size_t current, Chain* chains);
  void EmitTo(size_t node);
  void EmitChain(const Chain& chain);
  void EmitStep(uint8_t step, uint16_t distance);
  void Rebase(size_t node, size_t current, size_t roots);

  const uint8_t* data_;
  size_t size_;
  size_t window_;
  ItemWriter writer_;
  MatchTree* tree_ = nullptr;
  // Copies of the ring's initial spaces and the input's first bytes, and of the input's
  // last bytes, each with room to read beyond (see At).
  uint8_t* head_ = nullptr;
  uint8_t* tail_ = nullptr;
  size_t tailStart_ = 0;         // where tail_ begins, counted from the ring's start
  size_t written_ = 0;           // the input is written out up to here
  // The unsettled parse: nodes from base_, of which the first roots_ are roots. With one
  // root, base_ == written_; with kBand roots, chains_[k] leads from written_ to base_ + k.
  size_t base_ = 0;
  size_t roots_ = 1;
  Chain chains_[kBand];
  uint8_t* steps_ = nullptr;      // per node from base_: the step that reaches it
  uint16_t* distances_ = nullptr; // per position from base_: the distance of its longest match
  uint64_t costs_[kCostRing];
  uint8_t longest_[kLongestRing];
  SzddPackStats stats_;
};

// The string at a position of the input, readable from 4096 bytes before it (spaces before
// the input, as in the ring) to 7 bytes beyond its 18: the first 4096 positions read from
// head_, the last kTailPositions from tail_, the rest from the input itself.
constexpr size_t kSlack = 32;
constexpr size_t kTailPositions = 32;  // more than 18 + 7

const uint8_t* Packer::At(size_t position) const {
  if (position + kTailPositions >= size_) return tail_ + (position + kSzddRingSize - tailStart_);
  if (position < kSzddRingSize) return head_ + kSzddRingSize + position;
  return data_ + position;
}

// A copy of positions [from - 4096, to) of the input, spaces before position 0, and
// kSlack zero bytes; `from` and `to` count from the ring's start (4096 = the input's start).
uint8_t* CopyWithRing(const uint8_t* data, size_t from, size_t to) {
  uint8_t* copy = static_cast<uint8_t*>(calloc(to - from + kSlack, 1));
  if (!copy) return nullptr;
  for (size_t at = from; at < to; ++at) {
    copy[at - from] = at < kSzddRingSize ? kSzddRingFill : data[at - kSzddRingSize];
  }
  return copy;
}

void Packer::Relax(size_t from, uint32_t longest) {
  size_t at = from - base_;
  uint64_t cost = Cost(from);
  uint64_t viaMatch = cost + kMatchBits;
  for (uint32_t length = kSzddMinMatch; length <= longest; ++length) {
    uint64_t& target = Cost(from + length);
    if (viaMatch <= target) {
      target = viaMatch;
      steps_[at + length] = uint8_t(length);
    }
  }
  uint64_t viaLiteral = cost + kLiteralBits;
  if (viaLiteral <= Cost(from + 1)) {
    Cost(from + 1) = viaLiteral;
    steps_[at + 1] = 1;
  }
}

bool Packer::Run(SzddPackStats* stats) {
  if (uint64_t(size_) > kSzddMaxExpandedSize) return false;
  uint8_t header[kSzddHeaderSize];
  memcpy(header, kSzddMagic, sizeof kSzddMagic);
  header[8] = kSzddModeA;
  header[9] = 0;
  for (int i = 0; i < 4; ++i) header[10 + i] = uint8_t(uint64_t(size_) >> (8 * i));
  if (!writer_.Write(header, sizeof header)) return false;

  const size_t ringAndInput = kSzddRingSize + size_;
  size_t headEnd = 2 * kSzddRingSize + kSlack;
  headEnd = headEnd < ringAndInput ? headEnd : ringAndInput;
  tailStart_ = size_ > kTailPositions ? size_ - kTailPositions : 0;
  tree_ = static_cast<MatchTree*>(malloc(sizeof(MatchTree)));
  head_ = CopyWithRing(data_, 0, headEnd);
  tail_ = CopyWithRing(data_, tailStart_, ringAndInput);
  steps_ = static_cast<uint8_t*>(malloc(window_ + kSzddMaxMatch + 1));
  distances_ = static_cast<uint16_t*>(malloc(window_ * sizeof(uint16_t)));
  if (!tree_ || !head_ || !tail_ || !steps_ || !distances_) return false;
  tree_->Init();

  // The ring's initial spaces are strings like any other: those before the first position.
  for (size_t position = 0; position < kSzddRingSize; ++position) {
    size_t left = ringAndInput - position;
    uint32_t limit = left < kSzddMaxMatch ? uint32_t(left) : kSzddMaxMatch;
    uint32_t unused;
    if (limit >= kSzddMinMatch) tree_->Insert(head_ + position, limit, &unused);
  }

  for (size_t node = 0; node <= kSzddMaxMatch; ++node) Cost(node) = kUnreached;
  Cost(0) = 0;
  for (size_t position = 0; position < size_; ++position) {
    if (position - base_ == window_) {
      Settle(position);
      if (!writer_.ok()) return false;
    }
    size_t left = size_ - position;
    uint32_t limit = left < kSzddMaxMatch ? uint32_t(left) : kSzddMaxMatch;
    uint32_t longest = 0, distance = 0;
    if (limit >= kSzddMinMatch) {
      longest = tree_->Insert(At(position), limit, &distance);
      if (longest < kSzddMinMatch) longest = 0;
    }
    distances_[position - base_] = uint16_t(distance);
    longest_[position % kLongestRing] = uint8_t(longest);
    Cost(position + kSzddMaxMatch) = kUnreached;  // first reached from here
    Relax(position, longest);
  }
  EmitTo(size_);
  if (!writer_.Finish()) return false;
  if (stats) *stats = stats_;
  return true;
}

// The root that a node's chain reaches.
size_t Packer::Root(size_t node) const {
  while (node >= base_ + roots_) node -= steps_[node - base_];
  return node;
}

// Walks the chains back from the last 18 settled nodes, the latest node first, until they
// meet; the array stays sorted and free of repeats. False when they reach different roots.
bool Packer::Meeting(size_t current, size_t* meeting) const {
  size_t nodes[kBand];
  size_t count = 0;
  for (size_t node = current + 1 - kBand; node <= current; ++node) nodes[count++] = node;
  while (count > 1 && nodes[count - 1] >= base_ + roots_) {
    size_t latest = nodes[--count];
    size_t previous = latest - steps_[latest - base_];
    size_t at = count;
    while (at > 0 && nodes[at - 1] > previous) --at;
    if (at > 0 && nodes[at - 1] == previous) continue;
    memmove(&nodes[at + 1], &nodes[at], (count - at) * sizeof nodes[0]);
    nodes[at] = previous;
    ++count;
  }
  *meeting = nodes[0];
  return count == 1;
}

// The window is full at `current`: writes out what every candidate path agrees on.
void Packer::Settle(size_t current) {
  size_t meeting;
  if (Meeting(current, &meeting)) {
    EmitTo(meeting);
    Rebase(meeting, current, 1);
    if (current - meeting <= window_ / 2) return;
  }
  Keep(current);
}

// The chains run side by side: keeps each of the last 18 nodes' paths as a chain, writes
// out what all of them share, and makes those nodes the roots of the parse.
void Packer::Keep(size_t current) {
  Chain chains[kBand];
  size_t runs = 0;
  std::vector<StepRun> backwards;
  for (size_t k = 0; k < kBand; ++k) {
    size_t node = current + 1 - kBand + k;
    backwards.clear();
    while (node >= base_ + roots_) {
      uint8_t step = steps_[node - base_];
      node -= step;
      backwards.push_back({step, distances_[node - base_], 1});
    }
    chains[k] = chains_[node - base_];
    for (size_t i = backwards.size(); i-- > 0;) {
      AppendSteps(chains[k], backwards[i].step, backwards[i].distance, 1);
    }
    runs += chains[k].size();
  }
  // More runs than the window has positions: chains that neither meet nor repeat.
  if (runs > window_) {
    ForceCut(current, chains);
    return;
  }
  // Write out the steps that every chain starts with.
  size_t fronts[kBand] = {};
  for (;;) {
    const Chain& first = chains[0];
    bool same = fronts[0] < first.size();
    for (size_t k = 1; k < kBand && same; ++k) {
      same = fronts[k] < chains[k].size() && chains[k][fronts[k]].step == first[fronts[0]].step &&
             chains[k][fronts[k]].distance == first[fronts[0]].distance;
    }
    if (!same) break;
    StepRun shared = first[fronts[0]];
    for (size_t k = 1; k < kBand; ++k) {
      if (chains[k][fronts[k]].count < shared.count) shared.count = chains[k][fronts[k]].count;
    }
    for (uint32_t i = 0; i < shared.count; ++i) EmitStep(shared.step, shared.distance);
    for (size_t k = 0; k < kBand; ++k) {
      if ((chains[k][fronts[k]].count -= shared.count) == 0) ++fronts[k];
    }
  }
  for (size_t k = 0; k < kBand; ++k) chains[k].erase(chains[k].begin(), chains[k].begin() + fronts[k]);
  for (size_t k = 0; k < kBand; ++k) chains_[k].swap(chains[k]);
  Rebase(current + 1 - kBand, current, kBand);
}

// Chains that neither meet nor repeat: takes the cheapest of the last 18 nodes (the latest
// of equals) and parses on from there alone.
void Packer::ForceCut(size_t current, Chain* chains) {
  ++stats_.forcedCuts;
  size_t first = current + 1 - kBand, chosen = first;
  for (size_t node = first; node <= current; ++node) {
    if (Cost(node) <= Cost(chosen)) chosen = node;
  }
  EmitChain(chains[chosen - first]);
  Rebase(chosen, current, 1);
  for (size_t node = chosen + 1; node <= current + kSzddMaxMatch; ++node) Cost(node) = kUnreached;
  for (size_t position = chosen; position < current; ++position) {
    Relax(position, longest_[position % kLongestRing]);
  }
}

// Writes the path from written_ to `node`: its root's chain, then the steps from the root.
// The steps are found backwards and turned forwards in place: each node on the path gets
// the step that leaves it; nodes behind `node` are not looked at again.
void Packer::EmitTo(size_t node) {
  size_t root = Root(node);
  EmitChain(chains_[root - base_]);
  if (node == root) return;
  uint8_t step = steps_[node - base_];
  for (size_t at = node; at > root;) {
    size_t previous = at - step;
    uint8_t before = steps_[previous - base_];
    steps_[previous - base_] = step;
    step = before;
    at = previous;
  }
  for (size_t position = root; position < node;) {
    uint8_t forward = steps_[position - base_];
    EmitStep(forward, distances_[position - base_]);
    position += forward;
  }
}

void Packer::EmitChain(const Chain& chain) {
  for (const StepRun& run : chain) {
    for (uint32_t i = 0; i < run.count; ++i) EmitStep(run.step, run.distance);
  }
}

// Writes one step from written_.
void Packer::EmitStep(uint8_t step, uint16_t distance) {
  if (step == 1) {
    writer_.Literal(data_[written_]);
    ++stats_.literals;
  } else {
    uint32_t offset = uint32_t((written_ + kSzddRingStart + kSzddRingSize - distance) % kSzddRingSize);
    writer_.Match(offset, step);
    ++stats_.matches;
  }
  written_ += step;
}

// Makes `node` the start of the unsettled parse, with `roots` roots; positions up to
// `current` have been read. With one root, everything up to `node` has been written.
void Packer::Rebase(size_t node, size_t current, size_t roots) {
  size_t shift = node - base_;
  memmove(steps_, steps_ + shift, current + kSzddMaxMatch + 1 - node);
  memmove(distances_, distances_ + shift, (current - node) * sizeof(uint16_t));
  base_ = node;
  roots_ = roots;
  if (roots == 1) {
    for (Chain& chain : chains_) chain.clear();
  }
}

}  // namespace

bool PackSzdd(const uint8_t* data, size_t size, ByteSink& sink, SzddPackStats* stats,
              size_t parseWindow) {
  Packer packer(data, size, sink, parseWindow);
  return packer.Run(stats);
}
