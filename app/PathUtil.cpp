#include "app/PathUtil.h"

#include <windows.h>
#include <string.h>

#include "app/ScopedWin.h"
#include "app/TextFormat.h"

namespace {

// Where folder creation starts in a path that ends with a backslash: after the server name
// of a network path, after "X:\" of a drive path; null for anything else.
char* CreationStart(char* path) {
  if (path[0] == '\\' && path[1] == '\\') {
    char* afterServer = strchr(path + 2, '\\');
    return afterServer ? afterServer + 1 : nullptr;
  }
  if (path[0] != '\0' && path[1] == ':' && path[2] == '\\') return path + 3;
  return nullptr;
}

}  // namespace

bool CreatePath(const char* path) {
  char work[kPathCapacity];
  if (!CopyText(work, sizeof work, path)) return false;
  size_t length = strlen(work);
  if (length == 0) return false;
  if (work[length - 1] != '\\') {
    if (length + 2 > sizeof work) return false;
    work[length] = '\\';
    work[length + 1] = '\0';
  }
  char* p = CreationStart(work);
  if (!p) return false;
  for (char* separator = strchr(p, '\\'); separator; separator = strchr(separator + 1, '\\')) {
    *separator = '\0';
    bool made = CreateDirectoryA(work, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    *separator = '\\';
    if (!made) return false;
  }
  return true;
}

void DeleteMatchingFiles(const char* folder, const char* pattern) {
  char path[kPathCapacity];
  if (!CopyText(path, sizeof path, folder) || !JoinPath(path, pattern, sizeof path)) return;
  WIN32_FIND_DATAA found;
  ScopedFind search(FindFirstFileA(path, &found));
  if (!search.IsValid()) return;
  do {
    if (CopyText(path, sizeof path, folder) && JoinPath(path, found.cFileName, sizeof path)) {
      DeleteFileA(path);
    }
  } while (FindNextFileA(search.Get(), &found));
}

bool CompanyTempFolder(char* buffer, size_t capacity) {
  DWORD length = GetTempPathA(DWORD(capacity), buffer);
  if (length == 0 || length >= capacity) return false;
  return JoinPath(buffer, "morvane", capacity);
}
