// szdd: packs a file into the SZDD format, or expands one.
//   szdd [-v] <input> <packed output>     pack (-v: the parse's figures on stderr)
//   szdd -d <packed input> <output>       expand with the built-in reference expander
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include "tools/szdd/SzddExpander.h"
#include "tools/szdd/SzddPacker.h"

namespace {

class FileSink : public ByteSink {
 public:
  explicit FileSink(FILE* file) : file_(file) {}
  bool Write(const uint8_t* data, size_t size) override {
    return fwrite(data, 1, size, file_) == size;
  }

 private:
  FILE* file_;
};

// Reads a whole file into memory, in a buffer of its size; false with a message on failure.
bool ReadWholeFile(const char* path, uint8_t** data, size_t* size) {
  FILE* file = fopen(path, "rb");
  if (!file) {
    fprintf(stderr, "szdd: cannot open %s: %s\n", path, strerror(errno));
    return false;
  }
  struct stat status;
  size_t capacity = fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode)
                        ? size_t(status.st_size) + 1  // one more to see the end at once
                        : size_t(1) << 20;
  size_t used = 0;
  uint8_t* buffer = static_cast<uint8_t*>(malloc(capacity));
  bool ok = buffer != nullptr;
  while (ok) {
    if (used == capacity) {
      uint8_t* larger = static_cast<uint8_t*>(realloc(buffer, capacity * 2));
      if (!larger) {
        ok = false;
        break;
      }
      buffer = larger;
      capacity *= 2;
    }
    size_t got = fread(buffer + used, 1, capacity - used, file);
    used += got;
    if (got == 0) break;
  }
  bool readError = ok && ferror(file);
  if (readError) fprintf(stderr, "szdd: cannot read %s: %s\n", path, strerror(errno));
  if (!ok) fprintf(stderr, "szdd: %s does not fit in memory\n", path);
  fclose(file);
  if (!ok || readError) {
    free(buffer);
    return false;
  }
  *data = buffer;
  *size = used;
  return true;
}

int Usage() {
  fprintf(stderr,
          "usage: szdd [-v] <input> <packed output>   pack into the SZDD format\n"
          "       szdd -d <packed input> <output>     expand\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  bool expand = false, verbose = false;
  int arg = 1;
  for (; arg < argc && argv[arg][0] == '-'; ++arg) {
    if (strcmp(argv[arg], "-d") == 0) {
      expand = true;
    } else if (strcmp(argv[arg], "-v") == 0) {
      verbose = true;
    } else {
      return Usage();
    }
  }
  if (argc - arg != 2) return Usage();
  const char* inputPath = argv[arg];
  const char* outputPath = argv[arg + 1];

  uint8_t* input;
  size_t size;
  if (!ReadWholeFile(inputPath, &input, &size)) return 1;
  if (!expand && uint64_t(size) > kSzddMaxExpandedSize) {
    fprintf(stderr, "szdd: %s is larger than the format's 4 GiB - 1 bytes\n", inputPath);
    free(input);
    return 1;
  }
  FILE* output = fopen(outputPath, "wb");
  if (!output) {
    fprintf(stderr, "szdd: cannot create %s: %s\n", outputPath, strerror(errno));
    free(input);
    return 1;
  }
  FileSink sink(output);
  SzddPackStats stats;
  bool ok = expand ? ExpandSzdd(input, size, sink) : PackSzdd(input, size, sink, &stats);
  if (fclose(output) != 0) ok = false;
  if (!ok) {
    if (expand) {
      fprintf(stderr, "szdd: %s is not a complete SZDD file, or %s cannot be written\n",
              inputPath, outputPath);
    } else {
      fprintf(stderr, "szdd: cannot write %s (disk full?) or out of memory\n", outputPath);
    }
    remove(outputPath);
  } else if (verbose && !expand) {
    fprintf(stderr, "%s: %zu -> %llu bytes, %llu literals, %llu matches, %llu forced cuts\n",
            inputPath, size,
            static_cast<unsigned long long>(SzddPackedSize(stats.literals, stats.matches)),
            static_cast<unsigned long long>(stats.literals),
            static_cast<unsigned long long>(stats.matches),
            static_cast<unsigned long long>(stats.forcedCuts));
  }
  free(input);
  return ok ? 0 : 1;
}
