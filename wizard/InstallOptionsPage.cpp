#include "wizard/InstallOptionsPage.h"

#include <windows.h>
#include <string.h>

#include "app/ScopedWin.h"
#include "app/SetupContext.h"
#include "app/TextFormat.h"

namespace {

// "ProgramFilesDir" of the machine, into `folder` (kPathCapacity bytes); false when the key
// or a text value is missing. Read with the plain registry calls until the family's
// registry key wrapper serves the page.
bool ReadProgramFilesDir(char* folder) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                    KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return false;
  }
  DWORD type = 0, size = kPathCapacity - 1;
  LONG result = RegQueryValueExA(key, "ProgramFilesDir", nullptr, &type,
                                 reinterpret_cast<BYTE*>(folder), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
  folder[size < kPathCapacity ? size : kPathCapacity - 1] = '\0';  // the value may lack its NUL
  return folder[0] != '\0';
}

// The folder joined with "Morvane\" and the setup's folder name, into the buffer.
bool CompanyFolderIn(const char* folder, char* buffer, size_t capacity) {
  if (!CopyText(buffer, capacity, folder) || !JoinPath(buffer, "Morvane\\", capacity)) return false;
  size_t length = strlen(buffer);
  return CopyText(buffer + length, capacity - length, SetupFolderName());
}

}  // namespace

bool DefaultInstallPath(char* buffer, size_t capacity) {
  char folder[kPathCapacity];
  if (ReadProgramFilesDir(folder) && CompanyFolderIn(folder, buffer, capacity)) return true;

  CopyText(folder, sizeof folder, "C:");
  WIN32_FIND_DATAA found;
  ScopedFind search(FindFirstFileA("C:\\Program Files", &found));
  if (search.IsValid() && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    JoinPath(folder, "Program Files", sizeof folder);
  }
  if (CompanyFolderIn(folder, buffer, capacity)) return true;
  if (capacity > 0) buffer[0] = '\0';
  return false;
}
