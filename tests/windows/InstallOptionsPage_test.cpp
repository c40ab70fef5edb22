#include "wizard/InstallOptionsPage.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/InstallTest.h"

namespace {

const char kKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// Sets "ProgramFilesDir" for one test (null: removes it) and puts the old value back.
class ProgramFilesDir {
 public:
  ProgramFilesDir() {
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_);
    size_ = sizeof saved_;
    had_ = RegQueryValueExA(key_, "ProgramFilesDir", nullptr, &type_, saved_, &size_) == ERROR_SUCCESS;
  }
  ~ProgramFilesDir() {
    if (had_) {
      RegSetValueExA(key_, "ProgramFilesDir", 0, type_, saved_, size_);
    } else {
      RegDeleteValueA(key_, "ProgramFilesDir");
    }
    RegCloseKey(key_);
  }
  ProgramFilesDir(const ProgramFilesDir&) = delete;
  ProgramFilesDir& operator=(const ProgramFilesDir&) = delete;
  bool Set(DWORD type, const std::string* value) {
    if (!value) {
      LONG result = RegDeleteValueA(key_, "ProgramFilesDir");
      return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    if (type == REG_DWORD) {
      DWORD number = 7;
      return RegSetValueExA(key_, "ProgramFilesDir", 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&number), sizeof number) == ERROR_SUCCESS;
    }
    return RegSetValueExA(key_, "ProgramFilesDir", 0, type,
                          reinterpret_cast<const BYTE*>(value->c_str()),
                          DWORD(value->size() + 1)) == ERROR_SUCCESS;
  }

 private:
  HKEY key_ = nullptr;
  BYTE saved_[1024];
  DWORD size_ = 0, type_ = REG_SZ;
  bool had_ = false;
};

TEST(DefaultInstallPath, ProgramFilesDirThenTheFallBack) {
  ScratchFolder scratch("pindle-default-path");
  ScratchContext setup(scratch, 1, {0});  // the current context: folder name "WebPindle"
  ASSERT_TRUE(IsFolder("C:\\Program Files")) << "Wine's prefix has one";
  std::string apps = "D:\\Apps\\", longValue = "C:\\" + std::string(240, 'p');
  std::string empty;
  struct {
    const char* what;
    DWORD type;
    const std::string* value;  // null: no value
    const char* expected;
  } cases[] = {
      {"a folder", REG_SZ, &apps, "D:\\Apps\\Morvane\\WebPindle"},
      {"no value", REG_SZ, nullptr, "C:\\Program Files\\Morvane\\WebPindle"},
      {"empty", REG_SZ, &empty, "C:\\Program Files\\Morvane\\WebPindle"},
      {"a number", REG_DWORD, &apps, "C:\\Program Files\\Morvane\\WebPindle"},
      {"too long for the folders after it", REG_SZ, &longValue,
       "C:\\Program Files\\Morvane\\WebPindle"},
  };
  ProgramFilesDir value;
  for (const auto& c : cases) {
    ASSERT_TRUE(value.Set(c.type, c.value)) << c.what;
    char path[kPathCapacity];
    memset(path, 0x5A, sizeof path);
    EXPECT_TRUE(DefaultInstallPath(path, sizeof path)) << c.what;
    EXPECT_STREQ(path, c.expected) << c.what;
  }
  char small[12];
  EXPECT_FALSE(DefaultInstallPath(small, sizeof small));
  EXPECT_STREQ(small, "") << "a buffer too small gets the empty text";
}

}  // namespace
