// Checks registry patch scripts with the setup's own reader: at the first fault it prints
// file:line:column, what was expected there, and the line itself; exit code 0 when every
// script is good, 1 when one is faulty, 2 when a file cannot be read.
//   regpatch-check <script>...
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>

#include "registry/PatchScript.h"

namespace {

bool ReadWholeFile(const char* path, std::string* bytes) {
  FILE* file = fopen(path, "rb");
  if (!file) return false;
  char buffer[65536];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) bytes->append(buffer, got);
  bool ok = !ferror(file);
  fclose(file);
  return ok;
}

// Prints the fault with the line it is on and a caret under its column.
void Report(const char* path, const std::string& text, size_t offset, const char* what) {
  PatchPosition at = LocatePatchOffset(text.c_str(), offset);
  fprintf(stderr, "%s:%zu:%zu: error: %s\n", path, at.line, at.column, what);
  size_t start = offset - (at.column - 1);
  size_t end = start;
  while (end < text.size() && text[end] != '\r' && text[end] != '\n' && text[end] != '\0') ++end;
  std::string line = text.substr(start, end - start);
  std::string caret(at.column - 1, ' ');
  for (size_t i = 0; i < caret.size() && i < line.size(); ++i) {
    if (line[i] == '\t') caret[i] = '\t';
  }
  fprintf(stderr, "  %s\n  %s^\n", line.c_str(), caret.c_str());
}

bool HasLineEnd(const char* name) { return strpbrk(name, "\r\n") != nullptr; }

// True when the script is good; reports the first fault otherwise.
bool CheckScript(const char* path, const std::string& text) {
  std::unique_ptr<PatchReader> reader(new PatchReader(text.c_str()));
  for (;;) {
    PatchStatement statement = reader->Next();
    switch (statement) {
      case PatchMalformed: {
        std::string what = std::string("expected ") + PatchExpectationText(reader->Expected());
        Report(path, text, reader->FaultOffset(), what.c_str());
        return false;
      }
      case PatchEnd:
        // The setup ends the script at its first NUL: anything after one would be lost.
        if (reader->EndOffset() < text.size()) {
          Report(path, text, reader->EndOffset(),
                 "a NUL byte ends the script here; the rest of the file would be ignored");
          return false;
        }
        return true;
      case PatchHeader:
        break;
      default:
        // The reader lets a name run on over line ends to the next "]" or double quote;
        // in a script that is always a missing one.
        if (HasLineEnd(reader->Name())) {
          Report(path, text, reader->StatementOffset(),
                 statement == PatchSection
                     ? "the section name runs past the end of its line (a missing \"]\"?)"
                     : "the value name runs past the end of its line (a missing double quote?)");
          return false;
        }
        break;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: regpatch-check <script>...\n");
    return 2;
  }
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    std::string text;
    if (!ReadWholeFile(argv[i], &text)) {
      fprintf(stderr, "%s: cannot be read\n", argv[i]);
      status = 2;
      continue;
    }
    if (!CheckScript(argv[i], text) && status == 0) status = 1;
  }
  return status;
}
