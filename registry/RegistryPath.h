// The registry areas of the product family and the composition of their paths. Needs no
// Windows: the root is named by a number that the key wrapper turns into a root key.
#pragma once
#include <stddef.h>

// A root key and a fixed path. The first five lie below the family root
// HKEY_CURRENT_USER\Software\Morvane\NetPindle\CurrentVersion; the last three take the
// whole path below their root from the sub-key. Any other number names no key.
enum RegistryArea : int {
  AreaBrowser = 0,  // family root\Browser[\sub-key]
  AreaMailer = 1,   // family root\Mailer[\sub-key]
  AreaUpdates = 2,  // family root\Updates[\sub-key]
  AreaProduct = 3,  // family root\<product name>[\sub-key]
  AreaShared = 4,   // family root[\sub-key]
  AreaMachine = 5,  // HKEY_LOCAL_MACHINE\sub-key
  AreaUser = 6,     // HKEY_CURRENT_USER\sub-key
  AreaClasses = 7,  // HKEY_CLASSES_ROOT\sub-key
};

enum RegistryRoot { RootNone, RootCurrentUser, RootLocalMachine, RootClassesRoot };

// Capacity of a composed registry path, terminator included: paths of up to 1023 characters.
constexpr size_t kRegistryPathCapacity = 1024;
// Capacity of a product name, terminator included: names of up to 511 characters.
constexpr size_t kProductNameCapacity = 512;

// Composes the root and path of an area into `path` (kRegistryPathCapacity bytes). A sub-key
// of null adds nothing to the area's path; any other text (the empty one too) adds a
// backslash and the text below the family root, or is the whole path below a system root.
// RootNone, with the empty path, for an unknown area, for AreaProduct without a product
// name (null: the name was too long), and for a path of more than 1023 characters.
RegistryRoot ComposeRegistryPath(RegistryArea area, const char* subKey, const char* productName,
                                 char* path);
