// Helpers of the Windows tests that run under Wine.
#pragma once
#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

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

// The Windows form of a host path ("/work/x" gives "Z:\\work\\x": drive Z: is the host's
// root); a path that is not a host path stays as it is.
inline std::string HostPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string windows = "Z:" + path;
  for (char& c : windows) c = c == '/' ? '\\' : c;
  return windows;
}

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

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  uint8_t buffer[65536];
  DWORD got;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  CloseHandle(file);
  return bytes;
}

// The number of the extraction's temporary files ("PD*.tmp") in the temporary folder.
inline int CountExtractionTempFiles() {
  char folder[MAX_PATH];
  GetTempPathA(sizeof folder, folder);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((std::string(folder) + "PD*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do {
    ++count;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}
