#include "wizard/InstallOptionsPage.h"

#include <windows.h>
#include <string.h>

#include "app/ScopedWin.h"
#include "app/SetupContext.h"
#include "app/TextFormat.h"
#include "registry/RegistryKey.h"

namespace {

// "ProgramFilesDir" of the machine, into `folder` (kPathCapacity bytes); false when the key
// or the text value is missing or empty.
bool ReadProgramFilesDir(char* folder) {
  RegistryKey key(ProductShortName(0));
  return key.Open(AreaMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", true) &&
         key.HasValue("ProgramFilesDir") && key.ReadString("ProgramFilesDir", folder, kPathCapacity) &&
         folder[0] != '\0';
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
