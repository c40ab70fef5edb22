#include "registry/RegistryPath.h"

#include <string.h>

// The per-user root of every family area.
#define PINDLE_FAMILY_ROOT "Software\\Morvane\\NetPindle\\CurrentVersion"

namespace {

// Appends text to the path of `length` characters; false when the result would not fit.
bool AppendToPath(char* path, size_t* length, const char* text) {
  size_t add = strlen(text);
  if (add >= kRegistryPathCapacity - *length) return false;
  memcpy(path + *length, text, add + 1);
  *length += add;
  return true;
}

}  // namespace

RegistryRoot ComposeRegistryPath(RegistryArea area, const char* subKey, const char* productName,
                                 char* path) {
  const char* base = nullptr;  // the fixed part below the family root; null for system roots
  const char* product = nullptr;
  RegistryRoot root = RootCurrentUser;
  path[0] = '\0';
  switch (area) {
    case AreaBrowser: base = PINDLE_FAMILY_ROOT "\\Browser"; break;
    case AreaMailer: base = PINDLE_FAMILY_ROOT "\\Mailer"; break;
    case AreaUpdates: base = PINDLE_FAMILY_ROOT "\\Updates"; break;
    case AreaProduct:
      if (!productName) return RootNone;
      base = PINDLE_FAMILY_ROOT "\\";
      product = productName;
      break;
    case AreaShared: base = PINDLE_FAMILY_ROOT; break;
    case AreaMachine: root = RootLocalMachine; break;
    case AreaUser: root = RootCurrentUser; break;
    case AreaClasses: root = RootClassesRoot; break;
    default: return RootNone;
  }
  size_t length = 0;
  bool fits = true;
  if (base) {
    fits = AppendToPath(path, &length, base);
    if (fits && product) fits = AppendToPath(path, &length, product);
    if (fits && subKey) fits = AppendToPath(path, &length, "\\");
  }
  if (fits && subKey) fits = AppendToPath(path, &length, subKey);
  if (!fits) {
    path[0] = '\0';
    return RootNone;
  }
  return root;
}
