#include "tools/szdd/SzddPacker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/SzddCorpus.h"
#include "tests/support/SzddReference.h"
#include "tools/szdd/SzddExpander.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> Repeat(const std::vector<uint8_t>& block, int times) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < times; ++i) bytes.insert(bytes.end(), block.begin(), block.end());
  return bytes;
}

// Noise that leaves the candidate parses apart through the whole run of zeros after it:
// each runs on as its own chain of 18-byte matches until the end decides between them.
std::vector<uint8_t> ApartThroughARun() {
  std::vector<uint8_t> bytes = SzddNoise(300, 1, 4);
  bytes.resize(bytes.size() + 6000, 0);
  for (char c : std::string("end")) bytes.push_back(uint8_t(c));
  return bytes;
}

TEST(PackSzdd, HeaderStatesModeAndExpandedSize) {
  std::vector<uint8_t> input = SzddNoise(70000, 5);  // 0x00011170 bytes
  VectorSink sink;
  ASSERT_TRUE(PackSzdd(input.data(), input.size(), sink));
  ASSERT_GE(sink.bytes.size(), kSzddHeaderSize);
  const uint8_t expected[kSzddHeaderSize] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27,
                                             0x33, 'A', 0,   0x70, 0x11, 0x01, 0x00};
  for (size_t i = 0; i < kSzddHeaderSize; ++i) {
    EXPECT_EQ(sink.bytes[i], expected[i]) << "header byte " << i;
  }
}

// Shapes whose best parse is plain to see: the packed size says whether the packer used
// the ring's initial spaces, overlapping matches and the whole distance range.
TEST(PackSzdd, SmallestSizeOfPlainShapes) {
  std::vector<uint8_t> block = SzddNoise(4096, 4242, 251);
  struct {
    const char* what;
    std::vector<uint8_t> input;
    size_t packedSize;
  } cases[] = {
      // 0: header only.
      {"empty", {}, 14},
      // 1: control byte and one literal.
      {"one byte", Bytes("x"), 16},
      // 2: one match of 18 spaces read from the ring before anything was written.
      {"18 spaces", std::vector<uint8_t>(18, ' '), 14 + 1 + 2},
      // 3: a literal, then one match that copies the byte it has just written 18 times.
      {"19 times a", std::vector<uint8_t>(19, 'a'), 14 + 1 + 1 + 2},
      // 4: two literals and a match of 3.
      {"abababa", Bytes("abababa"), 14 + 1 + 2 + 2},
      // 5: 8 matches fill a control byte; the ninth item opens the next.
      {"162 spaces", std::vector<uint8_t>(162, ' '), 14 + 1 + 16 + 1 + 2},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const auto& c = cases[i];
    VectorSink sink;
    ASSERT_TRUE(PackSzdd(c.input.data(), c.input.size(), sink)) << i << " " << c.what;
    EXPECT_EQ(sink.bytes.size(), c.packedSize) << i << " " << c.what;
    VectorSink expanded;
    EXPECT_TRUE(ExpandSzdd(sink.bytes.data(), sink.bytes.size(), expanded)) << i << " " << c.what;
    EXPECT_EQ(expanded.bytes, c.input) << i << " " << c.what;
  }
}

// The packer's parse costs exactly what the best parse costs, found by brute force.
TEST(PackSzdd, ParseCostsWhatBruteForceFindsBest) {
  std::vector<uint8_t> block = SzddNoise(4096, 31337);
  std::vector<uint8_t> beyond = block;
  beyond.push_back('!');
  std::vector<uint8_t> spacedText = SzddText(3000);
  for (size_t i = 0; i < spacedText.size(); i += 50) spacedText[i] = ' ';
  struct {
    const char* what;
    std::vector<uint8_t> input;
  } cases[] = {
      {"text", SzddText(3000)},
      {"text with runs of spaces", spacedText},
      {"noise", SzddNoise(3000, 1)},
      {"two-letter alphabet", SzddNoise(3000, 2, 2)},
      {"four-letter alphabet", SzddNoise(3000, 3, 4)},
      {"run of spaces longer than the ring", std::vector<uint8_t>(5000, ' ')},
      {"run of a longer than the ring", std::vector<uint8_t>(5000, 'a')},
      {"noise repeated at distance 4096", Repeat(block, 2)},
      {"noise repeated at distance 4097", Repeat(beyond, 2)},
      {"period 3", Repeat(Bytes("abc"), 700)},
      {"bitmap", SzddBitmap(40, 20)},
      {"parses apart through a run", ApartThroughARun()},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const auto& c = cases[i];
    VectorSink sink;
    SzddPackStats stats;
    ASSERT_TRUE(PackSzdd(c.input.data(), c.input.size(), sink, &stats)) << i << " " << c.what;
    EXPECT_EQ(stats.literals * 9 + stats.matches * 17,
              SzddBruteForceCost(c.input.data(), c.input.size()))
        << i << " " << c.what;
    EXPECT_EQ(sink.bytes.size(), SzddPackedSize(stats.literals, stats.matches)) << i << " " << c.what;
    EXPECT_EQ(stats.forcedCuts, 0u) << i << " " << c.what;
    VectorSink expanded;
    EXPECT_TRUE(ExpandSzdd(sink.bytes.data(), sink.bytes.size(), expanded)) << i << " " << c.what;
    EXPECT_TRUE(expanded.bytes == c.input) << i << " " << c.what << ": round trip differs";
  }
}

// The parse window bounds memory, not the result: settled in windows of 1000 positions the
// output is the output of one window over everything. In a window too small to keep the
// candidates apart (64) a decision may be forced, and the output must still expand exactly.
TEST(PackSzdd, ParseWindowDoesNotChangeTheOutput) {
  std::vector<SzddCorpusCase> corpus = SzddCorpus({});
  corpus.push_back({"parses apart through a run", ApartThroughARun()});
  for (const auto& c : corpus) {
    VectorSink whole;
    ASSERT_TRUE(PackSzdd(c.bytes.data(), c.bytes.size(), whole, nullptr, c.bytes.size() + 100)) << c.name;

    VectorSink windowed;
    SzddPackStats stats;
    ASSERT_TRUE(PackSzdd(c.bytes.data(), c.bytes.size(), windowed, &stats, 1000)) << c.name;
    EXPECT_EQ(stats.forcedCuts, 0u) << c.name;
    EXPECT_TRUE(windowed.bytes == whole.bytes) << c.name << ": window 1000 packs differently";

    VectorSink tiny;
    ASSERT_TRUE(PackSzdd(c.bytes.data(), c.bytes.size(), tiny, &stats, 64)) << c.name;
    VectorSink expanded;
    EXPECT_TRUE(ExpandSzdd(tiny.bytes.data(), tiny.bytes.size(), expanded)) << c.name;
    EXPECT_TRUE(expanded.bytes == c.bytes) << c.name << ": window 64 does not round-trip";
    if (stats.forcedCuts == 0) {
      EXPECT_TRUE(tiny.bytes == whole.bytes) << c.name << ", window 64";
    }
  }
}

TEST(PackSzdd, FailsWhenTheSinkRefuses) {
  std::vector<uint8_t> input = SzddNoise(200000, 8);
  for (size_t limit : {size_t(0), size_t(13), size_t(100), size_t(150000)}) {
    VectorSink sink(limit);
    EXPECT_FALSE(PackSzdd(input.data(), input.size(), sink)) << "sink limit " << limit;
  }
}

TEST(ExpandSzdd, RefusesWhatIsNotACompleteSzddFile) {
  std::vector<uint8_t> input = SzddText(5000);
  VectorSink packed;
  ASSERT_TRUE(PackSzdd(input.data(), input.size(), packed));
  std::vector<uint8_t> truncated(packed.bytes.begin(), packed.bytes.end() - 1);
  std::vector<uint8_t> modeB = packed.bytes;
  modeB[8] = 'B';
  std::vector<uint8_t> shortHeader(packed.bytes.begin(), packed.bytes.begin() + 13);
  struct {
    const char* what;
    const std::vector<uint8_t>& bytes;
  } cases[] = {{"truncated", truncated}, {"mode B", modeB}, {"header cut short", shortHeader}};
  for (const auto& c : cases) {
    VectorSink out;
    EXPECT_FALSE(ExpandSzdd(c.bytes.data(), c.bytes.size(), out)) << c.what;
  }
}

}  // namespace
