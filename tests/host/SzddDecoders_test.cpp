// The packer's output against decoders it was not written with: msexpand (Debian's
// mscompress) and libmspack (through the mspack-expand tool), each run as its own process.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "tests/support/SzddCorpus.h"
#include "tests/support/SzddReference.h"
#include "tools/szdd/SzddPacker.h"

namespace {

const char kWindowsProgram[] = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/notepad.exe";

bool ReadFile(const std::string& path, std::vector<uint8_t>* bytes) {
  FILE* file = fopen(path.c_str(), "rb");
  if (!file) return false;
  bytes->clear();
  uint8_t buffer[65536];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) bytes->insert(bytes->end(), buffer, buffer + got);
  fclose(file);
  return true;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return fclose(file) == 0 && ok;
}

class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/pindle-szdd-XXXXXX";
    path_ = mkdtemp(pattern) ? pattern : "";
  }
  ~TempFolder() {
    if (!path_.empty()) system(("rm -rf '" + path_ + "'").c_str());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  bool ok() const { return !path_.empty(); }

 private:
  std::string path_;
};

TEST(SzddDecoders, MsexpandAndLibmspackExpandTheCorpus) {
  TempFolder folder;
  ASSERT_TRUE(folder.ok());
  std::vector<uint8_t> program;
  ASSERT_TRUE(ReadFile(kWindowsProgram, &program)) << "no Windows program at " << kWindowsProgram;
  std::vector<SzddCorpusCase> corpus = SzddCorpus(program);
  for (size_t i = 0; i < corpus.size(); ++i) {
    const SzddCorpusCase& c = corpus[i];
    VectorSink packed;
    ASSERT_TRUE(PackSzdd(c.bytes.data(), c.bytes.size(), packed)) << c.name;
    std::string packedPath = folder / ("case" + std::to_string(i) + ".sz_");
    ASSERT_TRUE(WriteFile(packedPath, packed.bytes)) << c.name;

    struct {
      const char* decoder;
      std::string command;
    } decoders[] = {
        {"msexpand", "msexpand < '" + packedPath + "' > '" + packedPath + ".msexpand'"},
        {"libmspack", std::string(PINDLE_MSPACK_EXPAND) + " '" + packedPath + "' '" + packedPath +
                          ".libmspack'"},
    };
    for (const auto& d : decoders) {
      EXPECT_EQ(system(d.command.c_str()), 0) << c.name << ": " << d.decoder << " failed";
      std::vector<uint8_t> expanded;
      ASSERT_TRUE(ReadFile(packedPath + "." + d.decoder, &expanded)) << c.name << ", " << d.decoder;
      EXPECT_EQ(expanded.size(), c.bytes.size()) << c.name << ", " << d.decoder;
      EXPECT_TRUE(expanded == c.bytes) << c.name << ": " << d.decoder << " expands other bytes";
    }
  }
}

}  // namespace
