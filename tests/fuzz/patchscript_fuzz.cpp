// Arbitrary bytes as a registry patch script: the reader must read it to its end or to a
// fault without touching memory outside the text, and hand out only operands within the
// limits of a statement.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <memory>

#include "registry/PatchScript.h"

namespace {

void Check(bool condition) {
  if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The text exactly as the setup makes it from a resource: its bytes and one NUL.
  char* text = static_cast<char*>(malloc(size + 1));
  if (!text) return 0;
  memcpy(text, data, size);
  text[size] = '\0';
  size_t length = strlen(text);

  std::unique_ptr<PatchReader> reader(new PatchReader(text));
  for (size_t statements = 0;; ++statements) {
    Check(statements <= length + 1);  // every statement but the header takes a character
    PatchStatement statement = reader->Next();
    if (statement == PatchEnd) {
      Check(reader->EndOffset() == length);
      Check(reader->Next() == PatchEnd);
      break;
    }
    if (statement == PatchMalformed) {
      Check(reader->FaultOffset() <= length);
      Check(reader->Expected() != ExpectNothing);
      PatchPosition at = LocatePatchOffset(text, reader->FaultOffset());
      Check(at.line >= 1 && at.column >= 1 && at.column <= reader->FaultOffset() + 1);
      Check(reader->Next() == PatchMalformed);
      break;
    }
    Check(reader->StatementOffset() <= length);
    if (statement != PatchHeader) Check(strlen(reader->Name()) < kPatchNameCapacity);
    switch (statement) {
      case PatchNumbers:
        Check(reader->Count() <= kPatchListCapacity);
        break;
      case PatchIndex:
      case PatchIndices:
        Check(reader->Count() >= 1 && reader->Count() <= kPatchListCapacity);
        break;
      case PatchBinary:
        Check(reader->Size() >= 1 && reader->Size() <= kPatchListCapacity);
        break;
      case PatchString:
        Check(strlen(reader->Text()) < kPatchStringCapacity);
        break;
      case PatchStrings: {
        // Non-empty elements, each with its NUL, then the final NUL.
        uint32_t joined = reader->Size();
        const uint8_t* bytes = reader->Bytes();
        Check(joined >= 1 && joined <= kPatchStringsCapacity && bytes[joined - 1] == 0);
        for (uint32_t i = 0; i + 1 < joined;) {
          size_t element = strlen(reinterpret_cast<const char*>(bytes + i));
          Check(element >= 1 && element < kPatchStringCapacity);
          i += uint32_t(element) + 1;
          Check(i < joined);
        }
        break;
      }
      default:
        break;
    }
  }
  free(text);
  return 0;
}
