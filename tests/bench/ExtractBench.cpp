// Extraction speed under Wine: a large packed resource through PayloadExtractor::
// ExtractResource (temporary file, LZ32 expansion, checks), against a bare LZ32 loop with the
// same 1024-byte buffer over the same packed bytes, in the same run. Prints MB/s of
// expanded bytes, best of several rounds each.
//   extract_bench.exe [rounds]
#include <windows.h>
#include <lzexpand.h>
#include <stdio.h>
#include <stdlib.h>

#include "install/PayloadExtractor.h"

namespace {

constexpr int kBenchResource = 1;

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return double(counter.QuadPart) / double(frequency.QuadPart);
}

// LZOpenFileA, LZRead of 1024 bytes into a file, LZClose: the least an expansion needs.
LONG BareExpand(const char* source, const char* destination) {
  OFSTRUCT opened = {};
  opened.cBytes = sizeof opened;
  INT packed = LZOpenFileA(const_cast<char*>(source), &opened, OF_READ);
  if (packed < 0) return -1;
  HANDLE file = CreateFileA(destination, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  LONG total = 0;
  char buffer[1024];
  for (;;) {
    INT count = LZRead(packed, buffer, sizeof buffer);
    DWORD written;
    if (count < 0) {
      total = -1;
      break;
    }
    WriteFile(file, buffer, DWORD(count), &written, nullptr);
    total += count;
    if (count < INT(sizeof buffer)) break;
  }
  CloseHandle(file);
  LZClose(packed);
  return total;
}

LONG FileSize(const char* path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return GetFileAttributesExA(path, GetFileExInfoStandard, &data) ? LONG(data.nFileSizeLow) : -1;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? atoi(argv[1]) : 5;
  char folder[MAX_PATH], packed[MAX_PATH], viaExtractor[MAX_PATH], viaBare[MAX_PATH];
  GetTempPathA(sizeof folder, folder);
  wsprintfA(packed, "%sbench-packed.bin", folder);
  wsprintfA(viaExtractor, "%sbench-extracted.bin", folder);
  wsprintfA(viaBare, "%sbench-bare.bin", folder);

  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(kBenchResource), "CUSTOM");
  if (!found) {
    fprintf(stderr, "extract_bench: no packed resource\n");
    return 1;
  }
  const void* bytes = LockResource(LoadResource(nullptr, found));
  DWORD size = SizeofResource(nullptr, found);
  HANDLE file = CreateFileA(packed, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  DWORD written = 0;
  WriteFile(file, bytes, size, &written, nullptr);
  CloseHandle(file);

  double bestExtractor = 1e9, bestBare = 1e9;
  LONG expanded = 0;
  for (int round = 0; round < rounds; ++round) {
    PayloadExtractor extractor;
    double start = Now();
    bool ok = extractor.ExtractResource(kBenchResource, viaExtractor);
    double extractorTime = Now() - start;
    start = Now();
    LONG bare = BareExpand(packed, viaBare);
    double bareTime = Now() - start;
    expanded = FileSize(viaExtractor);
    if (!ok || bare < 0 || bare != expanded) {
      fprintf(stderr, "extract_bench: expansion failed\n");
      return 1;
    }
    if (extractorTime < bestExtractor) bestExtractor = extractorTime;
    if (bareTime < bestBare) bestBare = bareTime;
  }
  double megabytes = double(expanded) / 1e6;
  printf("resource: %lu packed bytes, %ld expanded; best of %d rounds\n",
         static_cast<unsigned long>(size), static_cast<long>(expanded), rounds);
  printf("%-40s %8.3f s %8.1f MB/s\n", "ExtractResource (temp file + LZ32)", bestExtractor,
         megabytes / bestExtractor);
  printf("%-40s %8.3f s %8.1f MB/s\n", "bare LZ32 loop, 1024-byte buffer", bestBare,
         megabytes / bestBare);
  printf("ExtractResource / bare: %.2f\n", bestExtractor / bestBare);
  DeleteFileA(packed);
  DeleteFileA(viaExtractor);
  DeleteFileA(viaBare);
  return 0;
}
