// Inputs for checking the SZDD packer against decoders: the kinds of file a payload holds
// and the shapes that test a packer's corners. Needs no Windows.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <array>
#include <string>
#include <vector>

#include "tests/support/BitmapBuilder.h"

#include "tools/szdd/SzddFormat.h"

struct SzddCorpusCase {
  std::string name;
  std::vector<uint8_t> bytes;
};

// Deterministic pseudo-random bytes (xorshift32).
inline std::vector<uint8_t> SzddNoise(size_t size, uint32_t seed, uint32_t alphabet = 256) {
  std::vector<uint8_t> bytes(size);
  uint32_t x = seed ? seed : 1;
  for (auto& b : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = uint8_t((x >> 8) % alphabet);
  }
  return bytes;
}

// Text with the repetition of prose: words drawn from a small vocabulary, lines of varied length.
inline std::vector<uint8_t> SzddText(size_t size) {
  static const char* const kWords[] = {
      "the",   "search", "web",    "pages", "find",   "of",      "results", "query",
      "a",     "and",    "links",  "to",    "with",   "window",  "help",    "contents",
      "index", "topic",  "client", "for",   "server", "network", "is",      "files"};
  std::vector<uint8_t> noise = SzddNoise(size, 0xC0FFEE);
  std::string text;
  size_t line = 0;
  for (size_t i = 0; text.size() < size; ++i) {
    const char* word = kWords[noise[i % noise.size()] % (sizeof kWords / sizeof kWords[0])];
    text += word;
    line += strlen(word) + 1;
    if (line > 60 + size_t(noise[(i * 7) % noise.size()] % 16)) {
      text += "\r\n";
      line = 0;
    } else {
      text += ' ';
    }
  }
  return std::vector<uint8_t>(text.begin(), text.begin() + size);
}

// A 24-bit Windows bitmap file with smooth gradients and a few sharp shapes.
inline std::vector<uint8_t> SzddBitmap(int width, int height) {
  return Make24BitBitmap(width, height, [=](int x, int y) {
    bool disc = (x - width / 2) * (x - width / 2) + (y - height / 3) * (y - height / 3) <
                (width / 4) * (width / 4);
    return std::array<uint8_t, 3>{uint8_t((x / 8 + y / 8) % 2 ? 180 : 120),
                                  uint8_t(disc ? 200 : 255 - 200 * x / width),
                                  uint8_t(disc ? 40 : 255 * y / height)};
  });
}

// The fixed corpus; `program` is a Windows program's bytes, added as a case when not empty.
inline std::vector<SzddCorpusCase> SzddCorpus(const std::vector<uint8_t>& program) {
  std::vector<SzddCorpusCase> corpus;
  corpus.push_back({"empty", {}});
  corpus.push_back({"one byte", {'x'}});
  corpus.push_back({"one space", {' '}});
  corpus.push_back({"text", SzddText(200000)});
  corpus.push_back({"bitmap", SzddBitmap(300, 200)});
  corpus.push_back({"incompressible", SzddNoise(100000, 12345)});
  corpus.push_back({"two-letter alphabet", SzddNoise(50000, 777, 2)});
  corpus.push_back({"run of x longer than the ring", std::vector<uint8_t>(10000, 'x')});
  corpus.push_back({"run of zeros longer than the ring", std::vector<uint8_t>(70000, 0)});
  corpus.push_back({"spaces longer than the ring", std::vector<uint8_t>(9000, ' ')});
  std::vector<uint8_t> block = SzddNoise(kSzddRingSize, 99);
  std::vector<uint8_t> repeated;
  for (int i = 0; i < 3; ++i) repeated.insert(repeated.end(), block.begin(), block.end());
  corpus.push_back({"block repeated at the ring's size", repeated});
  block.push_back(0x5A);
  repeated.clear();
  for (int i = 0; i < 3; ++i) repeated.insert(repeated.end(), block.begin(), block.end());
  corpus.push_back({"block repeated one beyond the ring", repeated});
  std::vector<uint8_t> exact(3072);
  for (size_t i = 0; i < exact.size(); ++i) exact[i] = uint8_t(i * 7 / 5);
  corpus.push_back({"multiple of 1024", exact});
  if (!program.empty()) corpus.push_back({"Windows program", program});
  return corpus;
}
