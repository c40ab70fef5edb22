#include "registry/RegistryKey.h"

#include <string.h>

RegistryKey::RegistryKey(const char* productName) : key_(nullptr) {
  if (!productName) productName = "";
  size_t length = 0;
  while (length < kProductNameCapacity && productName[length]) ++length;
  memcpy(productName_, productName, length);
  if (length < kProductNameCapacity) productName_[length] = '\0';
}

RegistryKey::~RegistryKey() { Close(); }

void RegistryKey::Close() {
  if (key_) RegCloseKey(key_);
  key_ = nullptr;
}

// The root key and path of an area and sub-key; null for none (see ComposeRegistryPath).
// A product name that was too long has no NUL in its 512 bytes.
HKEY RegistryKey::ComposePath(RegistryArea area, const char* subKey, char* path) const {
  bool nameFits = memchr(productName_, '\0', sizeof productName_) != nullptr;
  switch (ComposeRegistryPath(area, subKey, nameFits ? productName_ : nullptr, path)) {
    case RootCurrentUser: return HKEY_CURRENT_USER;
    case RootLocalMachine: return HKEY_LOCAL_MACHINE;
    case RootClassesRoot: return HKEY_CLASSES_ROOT;
    case RootNone: break;
  }
  return nullptr;
}

bool RegistryKey::Open(RegistryArea area, const char* subKey, bool readOnly) {
  Close();
  char path[kRegistryPathCapacity];
  HKEY root = ComposePath(area, subKey, path);
  if (!root) return false;
  HKEY key = nullptr;
  LONG result = readOnly ? RegOpenKeyExA(root, path, 0, KEY_READ, &key)
                         : RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                           &key, nullptr);
  if (result == ERROR_SUCCESS) key_ = key;
  return key_ != nullptr;
}

bool RegistryKey::HasSubKeys() {
  if (!key_) return true;
  char name[1024];
  DWORD size = sizeof name;
  return RegEnumKeyExA(key_, 0, name, &size, nullptr, nullptr, nullptr, nullptr) !=
         ERROR_NO_MORE_ITEMS;
}

bool RegistryKey::DeleteKey(RegistryArea area, const char* subKey) {
  Close();
  char path[kRegistryPathCapacity];
  HKEY root = ComposePath(area, subKey, path);
  if (!root || path[0] == '\0') return false;
  return RegDeleteKeyA(root, path) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const char* name) {
  if (!key_) return false;
  LONG result = RegDeleteValueA(key_, name);
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool RegistryKey::Query(const char* name, DWORD expectedType, void* buffer, DWORD* size) {
  if (!key_) return false;
  DWORD type = REG_NONE;
  LONG result = RegQueryValueExA(key_, name, nullptr, &type, static_cast<BYTE*>(buffer), size);
  return result == ERROR_SUCCESS && type == expectedType;
}

bool RegistryKey::ReadString(const char* name, char* buffer, uint32_t size) {
  if (!buffer || size == 0) return false;
  DWORD length = size;
  if (!Query(name, REG_SZ, buffer, &length)) return false;
  // A text may be stored without its terminator: end it inside the buffer, or refuse it
  // when it fills the whole buffer.
  if (length < size) {
    buffer[length] = '\0';
    return true;
  }
  return buffer[size - 1] == '\0';
}

bool RegistryKey::ReadStrings(const char* name, void* buffer, uint32_t* size) {
  if (!size) return false;
  DWORD bytes = *size;
  bool read = Query(name, REG_MULTI_SZ, buffer, &bytes);
  *size = bytes;
  return read;
}

bool RegistryKey::ReadBinary(const char* name, void* buffer, uint32_t* size) {
  if (!size) return false;
  DWORD bytes = *size;
  bool read = Query(name, REG_BINARY, buffer, &bytes);
  *size = bytes;
  return read;
}

bool RegistryKey::ReadNumber(const char* name, uint32_t* number) {
  uint32_t value = 0;  // a shorter REG_DWORD leaves the high bytes 0
  DWORD size = sizeof value;
  if (!number || !Query(name, REG_DWORD, &value, &size)) return false;
  *number = value;
  return true;
}

bool RegistryKey::ReadFlag(const char* name, bool* flag) {
  uint32_t number = 0;
  if (!flag || !ReadNumber(name, &number)) return false;
  *flag = number != 0;
  return true;
}

bool RegistryKey::ReadNumbers(const char* name, uint32_t* numbers, uint32_t* count) {
  if (!numbers || !count) return false;
  DWORD size = *count > MAXDWORD / 4 ? MAXDWORD / 4 * 4 : *count * 4;
  if (!Query(name, REG_BINARY, numbers, &size)) return false;
  *count = size / 4;
  return true;
}

bool RegistryKey::Set(const char* name, DWORD type, const void* data, DWORD size) {
  if (!key_) return false;
  return RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size) ==
         ERROR_SUCCESS;
}

bool RegistryKey::WriteString(const char* name, const char* text) {
  if (!text) return false;
  return Set(name, REG_SZ, text, DWORD(strlen(text) + 1));
}

bool RegistryKey::WriteStrings(const char* name, const void* data, uint32_t size) {
  return Set(name, REG_MULTI_SZ, data, size);
}

bool RegistryKey::WriteBinary(const char* name, const void* data, uint32_t size) {
  return Set(name, REG_BINARY, data, size);
}

bool RegistryKey::WriteNumber(const char* name, uint32_t number) {
  return Set(name, REG_DWORD, &number, sizeof number);
}

bool RegistryKey::WriteFlag(const char* name, bool flag) { return WriteNumber(name, flag ? 1 : 0); }

// Windows keeps 32-bit numbers least significant byte first, the layout of the value.
bool RegistryKey::WriteNumbers(const char* name, const uint32_t* numbers, uint32_t count) {
  if (count > MAXDWORD / 4) return false;
  return Set(name, REG_BINARY, numbers, count * 4);
}

bool RegistryKey::HasValue(const char* name) {
  if (!key_) return false;
  return RegQueryValueExA(key_, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool RegistryKey::EnumValue(uint32_t index, char* name, uint32_t capacity) {
  if (!key_ || !name || capacity == 0) return false;
  DWORD size = capacity;
  return RegEnumValueA(key_, index, name, &size, nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}
