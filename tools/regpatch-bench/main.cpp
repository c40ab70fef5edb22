// Benchmark helper for registry patch scripts (host side).
//   regpatch-bench generate <values> <script.regpatch> <file.reg>
//       writes a script of that many value statements and the .reg file that stores the
//       same values, for timing against "reg import" under Wine;
//   regpatch-bench read <megabytes>
//       times the script reader over a generated script of about that size and prints its
//       MB/s beside a plain pass over the same bytes that only counts line ends.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <algorithm>
#include <memory>
#include <string>

#include "registry/PatchScript.h"

namespace {

constexpr int kValuesPerSection = 1000;
const char kFamilyRoot[] = "HKEY_CURRENT_USER\\Software\\Morvane\\NetPindle\\CurrentVersion";

// The bytes of a REG_MULTI_SZ or REG_BINARY value as .reg hex: "hex(7):61,00,..".
std::string RegHex(const char* prefix, const std::string& bytes) {
  std::string out = prefix;
  char hex[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    snprintf(hex, sizeof hex, i ? ",%02x" : "%02x", uint8_t(bytes[i]));
    out += hex;
  }
  return out;
}

// Statement i of the script and the same value as a .reg line; five kinds in turn.
void Statement(int i, std::string* script, std::string* reg) {
  char name[32];
  snprintf(name, sizeof name, "Value%05d", i);
  char line[512];
  switch (i % 5) {
    case 0:
      snprintf(line, sizeof line, "\"%s\"=number:%u\n", name, unsigned(i) * 2654435761u);
      *script += line;
      snprintf(line, sizeof line, "\"%s\"=dword:%08x\n", name, unsigned(i) * 2654435761u);
      *reg += line;
      break;
    case 1:
      snprintf(line, sizeof line,
               "\"%s\"=string:\"GET /cgi-bin/query?q=%%q&stq=%%o&n=%d HTTP/1.0\"\n", name, i);
      *script += line;
      snprintf(line, sizeof line, "\"%s\"=\"GET /cgi-bin/query?q=%%q&stq=%%o&n=%d HTTP/1.0\"\n",
               name, i);
      *reg += line;
      break;
    case 2: {
      uint32_t numbers[4] = {uint32_t(i), 100, 80, 60};
      snprintf(line, sizeof line, "\"%s\"=numbers:%u,100,80,60\n", name, unsigned(i));
      *script += line;
      *reg += "\"" + std::string(name) + "\"=" +
              RegHex("hex:", std::string(reinterpret_cast<char*>(numbers), sizeof numbers)) + "\n";
      break;
    }
    case 3:
      *script += "\"" + std::string(name) + "\"=binary:01,00,0a,ff\n";
      *reg += "\"" + std::string(name) + "\"=hex:01,00,0a,ff\n";
      break;
    case 4: {
      *script += "\"" + std::string(name) + "\"=strings:\"<dl><dt>\",\"<a href=\\\"%u\\\">%t</a>\",\"</dl>\"\n";
      static const char kJoined[] = "<dl><dt>\0<a href=\"%u\">%t</a>\0</dl>\0";
      std::string joined(kJoined, sizeof kJoined);  // the implicit NUL is the final one
      *reg += "\"" + std::string(name) + "\"=" + RegHex("hex(7):", joined) + "\n";
      break;
    }
  }
}

// A script of `values` value statements in sections of kValuesPerSection, and the .reg text.
void Generate(int values, std::string* script, std::string* reg) {
  *script = "REGPATCH1.0000\n";
  *reg = "Windows Registry Editor Version 5.00\n";
  for (int i = 0; i < values; ++i) {
    if (i % kValuesPerSection == 0) {
      char section[64];
      snprintf(section, sizeof section, "Bench\\Part%02d", i / kValuesPerSection);
      *script += "[" + std::string(section) + "]\n";
      *reg += "\n[" + std::string(kFamilyRoot) + "\\" + section + "]\n";
    }
    Statement(i, script, reg);
  }
}

bool WriteFile(const char* path, const std::string& text) {
  FILE* file = fopen(path, "wb");
  if (!file) return false;
  bool ok = fwrite(text.data(), 1, text.size(), file) == text.size();
  return fclose(file) == 0 && ok;
}

double Seconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Reads the whole text; the number of statements, or -1 when it is not a good script.
long ReadAll(const char* text) {
  std::unique_ptr<PatchReader> reader(new PatchReader(text));
  long statements = 0;
  for (;;) {
    PatchStatement statement = reader->Next();
    if (statement == PatchEnd) return statements;
    if (statement == PatchMalformed) return -1;
    ++statements;
  }
}

// The plain pass: counts line ends, touching every byte once.
long CountLineEnds(const char* text, size_t size) {
  long lines = 0;
  for (const char* p = text; (p = static_cast<const char*>(memchr(p, '\n', size - size_t(p - text))));
       ++p) {
    ++lines;
  }
  return lines;
}

int Read(double megabytes) {
  std::string script, reg;
  Generate(10000, &script, &reg);
  std::string body = script.substr(strlen("REGPATCH1.0000\n"));
  std::string text = "REGPATCH1.0000\n";
  while (double(text.size()) < megabytes * 1e6) text += body;
  double mb = double(text.size()) / 1e6;

  double best = 1e9, bestPlain = 1e9;
  long statements = 0, lines = 0;
  for (int round = 0; round < 5; ++round) {
    double start = Seconds();
    statements = ReadAll(text.c_str());
    best = std::min(best, Seconds() - start);
    start = Seconds();
    lines = CountLineEnds(text.c_str(), text.size());
    bestPlain = std::min(bestPlain, Seconds() - start);
  }
  if (statements < 0) {
    fprintf(stderr, "the generated script is faulty\n");
    return 1;
  }
  printf("script of %.1f MB, %ld statements, %ld lines (best of 5 rounds)\n", mb, statements, lines);
  printf("  %-34s %8.1f MB/s  %8.3f s\n", "reader (PatchReader::Next)", mb / best, best);
  printf("  %-34s %8.1f MB/s  %8.3f s\n", "plain pass (memchr for line ends)", mb / bestPlain,
         bestPlain);
  printf("  reader / plain pass time: %.1f\n", best / bestPlain);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && strcmp(argv[1], "generate") == 0) {
    std::string script, reg;
    Generate(atoi(argv[2]), &script, &reg);
    if (!WriteFile(argv[3], script) || !WriteFile(argv[4], reg)) {
      fprintf(stderr, "cannot write %s or %s\n", argv[3], argv[4]);
      return 1;
    }
    return 0;
  }
  if (argc == 3 && strcmp(argv[1], "read") == 0) return Read(atof(argv[2]));
  fprintf(stderr,
          "usage: regpatch-bench generate <values> <script.regpatch> <file.reg>\n"
          "       regpatch-bench read <megabytes>\n");
  return 2;
}
