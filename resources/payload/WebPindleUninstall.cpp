// WebPindleUninstall, the product's uninstaller as the setup installs it. For now it names
// the install folder that its command line gives and removes nothing.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  char message[MAX_PATH + 64];
  const char* folder = commandLine;
  while (*folder == ' ') ++folder;
  if (*folder == '\0') {
    lstrcpyA(message, "No install folder was given.");
  } else {
    wsprintfA(message, "Install folder: %.*s", MAX_PATH, folder);
  }
  MessageBoxA(nullptr, message, "WebPindle Uninstall", MB_OK | MB_ICONINFORMATION);
  return 0;
}
