#include "registry/RegistryPatch.h"

#include <stdint.h>

#include "registry/PatchScript.h"
#include "registry/RegistryKey.h"

bool RegistryPatch::Apply(const char* productName, const char* script) {
  PatchReader reader(script);
  RegistryKey key(productName);
  uint32_t present[kPatchListCapacity];  // the stored array that "indices" rearranges

  for (;;) {
    bool applied = false;  // until the statement has reached the registry
    switch (reader.Next()) {
      case PatchMalformed:
        break;
      case PatchEnd:
        return true;
      case PatchHeader:
        // Nothing is touched before the header has been read; then the product's own key
        // is created, even for a script without statements.
        applied = key.Open(AreaProduct, nullptr, false);
        break;
      case PatchSection:
        applied = key.Open(AreaShared, reader.Name(), false);
        break;
      case PatchDeletion:
        applied = key.DeleteValue(reader.Name());
        break;
      case PatchNumber:
        applied = key.WriteNumber(reader.Name(), reader.Number());
        break;
      case PatchNumbers:
        applied = key.WriteNumbers(reader.Name(), reader.Numbers(), reader.Count());
        break;
      case PatchBinary:
        applied = key.WriteBinary(reader.Name(), reader.Bytes(), reader.Size());
        break;
      case PatchString:
        applied = key.WriteString(reader.Name(), reader.Text());
        break;
      case PatchStrings:
        applied = key.WriteStrings(reader.Name(), reader.Bytes(), reader.Size());
        break;
      case PatchIndex: {
        // The stored position becomes the position of the first element equal to it.
        uint32_t stored = 0;
        if (!key.ReadNumber(reader.Name(), &stored)) break;
        uint32_t position = 0;
        for (uint32_t k = 0; k < reader.Count(); ++k) {
          if (reader.Numbers()[k] == stored) {
            position = k;
            break;
          }
        }
        applied = key.WriteNumber(reader.Name(), position);
        break;
      }
      case PatchIndices: {
        // New entry k is stored entry number (element k), or 0 past the stored array; the
        // elements are replaced by the new entries in place.
        uint32_t presentCount = kPatchListCapacity;
        if (!key.ReadNumbers(reader.Name(), present, &presentCount)) break;
        uint32_t* entries = reader.MutableNumbers();
        for (uint32_t k = 0; k < reader.Count(); ++k) {
          entries[k] = entries[k] < presentCount ? present[entries[k]] : 0;
        }
        applied = key.WriteNumbers(reader.Name(), entries, reader.Count());
        break;
      }
    }
    if (!applied) return false;
  }
}
