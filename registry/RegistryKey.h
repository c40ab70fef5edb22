// The one way the setup reaches the registry: a key wrapper over numbered registry areas.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "registry/RegistryPath.h"

// Holds at most one open key, bound at construction to a product name (used only for
// AreaProduct). Every operation reports success; none keeps an error code. A sub-key of
// null adds nothing to the area's path; any other text (the empty one too) adds a backslash
// and the text. A null value name addresses the key's default value.
class RegistryKey {
 public:
  // A product name of 512 characters or more is kept as too long: AreaProduct then opens
  // and deletes nothing. A null name counts as the empty one.
  explicit RegistryKey(const char* productName);
  ~RegistryKey();
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // Closes any open key, then opens the area's key: read-only with KEY_READ; otherwise opens
  // or creates it, with every missing level, with KEY_ALL_ACCESS. False, and closed, when
  // the area is unknown, the path would exceed 1023 characters or the platform refuses.
  bool Open(RegistryArea area, const char* subKey, bool readOnly);
  void Close();
  bool IsOpen() const { return key_ != nullptr; }

  // False only when the open key has no sub-key; a closed instance and any error give true.
  bool HasSubKeys();
  // Closes this instance's key, then makes one platform delete of the area's key (whether a
  // key with sub-keys goes is the platform's rule). False for an empty path.
  bool DeleteKey(RegistryArea area, const char* subKey);
  // True also when the value does not exist.
  bool DeleteValue(const char* name);

  // REG_SZ into a buffer of `size` bytes, always NUL-terminated within it on success; false
  // when the text and its terminator do not fit.
  bool ReadString(const char* name, char* buffer, uint32_t size);
  // REG_MULTI_SZ and REG_BINARY: *size is the buffer's size in, the platform's byte count out.
  bool ReadStrings(const char* name, void* buffer, uint32_t* size);
  bool ReadBinary(const char* name, void* buffer, uint32_t* size);
  // REG_DWORD; the output is untouched when false.
  bool ReadNumber(const char* name, uint32_t* number);
  bool ReadFlag(const char* name, bool* flag);
  // REG_BINARY of 32-bit little-endian numbers; *count is the capacity in numbers in, the
  // numbers read out (a remainder of fewer than four bytes dropped); untouched when false.
  bool ReadNumbers(const char* name, uint32_t* numbers, uint32_t* count);

  bool WriteString(const char* name, const char* text);
  // A REG_MULTI_SZ of exactly `size` bytes; the caller supplies every terminator.
  bool WriteStrings(const char* name, const void* data, uint32_t size);
  bool WriteBinary(const char* name, const void* data, uint32_t size);
  bool WriteNumber(const char* name, uint32_t number);
  bool WriteFlag(const char* name, bool flag);
  // A REG_BINARY of count x 4 bytes, each number least significant byte first.
  bool WriteNumbers(const char* name, const uint32_t* numbers, uint32_t count);

  // True when the value exists, whatever its type.
  bool HasValue(const char* name);
  // The name of the value at that index; false at the end of the list and on any error.
  bool EnumValue(uint32_t index, char* name, uint32_t capacity);

 private:
  HKEY ComposePath(RegistryArea area, const char* subKey, char* path) const;
  bool Query(const char* name, DWORD expectedType, void* buffer, DWORD* size);
  bool Set(const char* name, DWORD type, const void* data, DWORD size);

  HKEY key_;
  // The name and its NUL; all 512 bytes without a NUL mark a name that was too long.
  char productName_[kProductNameCapacity];
};
