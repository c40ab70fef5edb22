// Helpers of the registry tests: they set up and inspect keys with the platform's own calls,
// never through the code under test.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

// The per-user family root, as the platform sees it.
constexpr char kFamilyRoot[] = "Software\\Morvane\\NetPindle\\CurrentVersion";

inline std::string FamilyPath(const std::string& below) {
  return below.empty() ? std::string(kFamilyRoot) : std::string(kFamilyRoot) + "\\" + below;
}

// A stored value as the platform gives it back.
struct RawValue {
  bool found = false;
  DWORD type = 0xdeadbeef;
  std::vector<uint8_t> bytes;
};

inline RawValue ReadRawValue(HKEY root, const std::string& path, const char* name) {
  RawValue value;
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
    value.bytes.resize(size);
    value.found = RegQueryValueExA(key, name, nullptr, &value.type,
                                   size ? value.bytes.data() : nullptr, &size) == ERROR_SUCCESS;
    value.bytes.resize(size);
  }
  RegCloseKey(key);
  return value;
}

inline bool WriteRawValue(HKEY root, const std::string& path, const char* name, DWORD type,
                          const void* data, DWORD size) {
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  bool written = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) ==
                 ERROR_SUCCESS;
  RegCloseKey(key);
  return written;
}

inline bool WriteRawNumber(HKEY root, const std::string& path, const char* name, DWORD number) {
  return WriteRawValue(root, path, name, REG_DWORD, &number, sizeof number);
}

inline bool WriteRawNumbers(HKEY root, const std::string& path, const char* name,
                            const std::vector<uint32_t>& numbers) {
  return WriteRawValue(root, path, name, REG_BINARY, numbers.data(), DWORD(numbers.size() * 4));
}

inline bool RawKeyExists(HKEY root, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

inline bool CreateRawKey(HKEY root, const std::string& path) {
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

inline std::vector<uint8_t> Bytes(const void* data, size_t size) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(p, p + size);
}

inline std::vector<uint8_t> TextBytes(const char* text) { return Bytes(text, strlen(text) + 1); }

inline std::vector<uint8_t> NumberBytes(const std::vector<uint32_t>& numbers) {
  return Bytes(numbers.data(), numbers.size() * 4);
}

// Readable bytes for assertion messages: "01 00 ff".
inline std::string HexBytes(const std::vector<uint8_t>& bytes) {
  std::string out;
  char hex[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    wsprintfA(hex, i ? " %02x" : "%02x", bytes[i]);
    out += hex;
  }
  return out;
}

// A value that a test expects to find, as the platform stores it.
struct ExpectedValue {
  std::string path;  // below HKEY_CURRENT_USER
  const char* name;
  DWORD type;
  std::vector<uint8_t> bytes;
};

// Checks a numbered table of expected values against the registry.
inline void ExpectValues(const std::vector<ExpectedValue>& cases) {
  for (size_t i = 0; i < cases.size(); ++i) {
    const char* name = cases[i].name ? cases[i].name : "(default)";
    RawValue value = ReadRawValue(HKEY_CURRENT_USER, cases[i].path, cases[i].name);
    if (!value.found) {
      ADD_FAILURE() << "case " << i << ": no value " << name << " in " << cases[i].path;
      continue;
    }
    EXPECT_EQ(value.type, cases[i].type) << "case " << i << ": " << name;
    EXPECT_EQ(value.bytes, cases[i].bytes)
        << "case " << i << ": " << name << ": " << HexBytes(value.bytes) << " came, "
        << HexBytes(cases[i].bytes) << " expected";
  }
}

// Removes the trees that the registry tests write, before and after each test.
inline void RemoveTestKeys() {
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Morvane");
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\PindleTest");
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\PindleTest");
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "PindleTest.Key");
}
