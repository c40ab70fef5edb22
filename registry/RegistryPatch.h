// Applies registry patch scripts to the product family's registry tree.
#pragma once

class RegistryPatch {
 public:
  // Applies the NUL-terminated script on behalf of the product (its short name). Values go
  // to the product's own key until the first section line, then to the key that the last
  // section line names below the family root. Each statement is applied as soon as it has
  // been read; the first malformed statement or failed registry operation ends the script,
  // and whatever came before it stays applied. True when the whole script was applied.
  static bool Apply(const char* productName, const char* script);
};
