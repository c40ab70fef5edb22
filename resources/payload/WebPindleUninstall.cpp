// WebPindleUninstall, the product's uninstaller as the setup installs it. For now it names
// the install folder that its command line gives and removes nothing.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  const char kPrefix[] = "Install folder: ";
  char message[sizeof kPrefix + MAX_PATH];
  const char* folder = commandLine;
  while (*folder == ' ') ++folder;
  if (*folder == '\0') {
    lstrcpyA(message, "No install folder was given.");
  } else {
    lstrcpyA(message, kPrefix);
    lstrcpynA(message + sizeof kPrefix - 1, folder, MAX_PATH);
  }
  MessageBoxA(nullptr, message, "WebPindle Uninstall", MB_OK | MB_ICONINFORMATION);
  return 0;
}
