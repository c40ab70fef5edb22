// Helpers of the Windows tests that run under Wine.
#pragma once
#include <windows.h>

#include <string>

// True when the prefix is set to the Windows 95 family (HKCU\Software\Wine "Version"),
// read from the registry directly rather than through the code under test.
inline bool WinePlaysWindows95() {
  char version[32] = "";
  DWORD size = sizeof version;
  if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Wine", "Version", RRF_RT_REG_SZ, nullptr, version,
                   &size) != ERROR_SUCCESS) {
    return false;
  }
  return lstrcmpiA(version, "win95") == 0;
}

// A folder of its own below the temporary folder, removed with what it holds at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const char* name) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    path_ = std::string(temp) + name;
    Remove();
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~ScratchFolder() { Remove(); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  void Remove() {
    std::string from = path_;
    from.push_back('\0');  // a double-terminated list of one
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
  }
  std::string path_;
};

inline bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

inline bool WriteFileBytes(const std::string& path, const void* data, size_t size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, data, DWORD(size), &written, nullptr);
  CloseHandle(file);
  return ok && written == size;
}
