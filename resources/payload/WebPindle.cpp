// WebPindle, the product's program as the setup installs it. It opens a window titled
// "WebPindle". Started with /load:<file> (the open command of its search files), it shows
// which file it was asked to load and that file's first lines.
#include <windows.h>
#include <string.h>

namespace {

constexpr int kIconResource = 10000;
constexpr int kTextControl = 100;
constexpr DWORD kShownBytes = 4096;  // of the loaded file
const char kClassName[] = "WebPindleWindow";
const char kTitle[] = "WebPindle";

// The text the window shows, in a buffer of its own (released with LocalFree).
char* WindowText(const char* commandLine) {
  const char* load = strstr(commandLine, "/load:");
  if (!load) {
    const char kWelcome[] = "WebPindle\r\n\r\nNo search file was given.";
    char* text = static_cast<char*>(LocalAlloc(LMEM_FIXED, sizeof kWelcome));
    if (text) lstrcpyA(text, kWelcome);
    return text;
  }
  char path[MAX_PATH];
  lstrcpynA(path, load + 6, sizeof path);
  int length = lstrlenA(path);
  while (length > 0 && (path[length - 1] == ' ' || path[length - 1] == '"')) path[--length] = '\0';
  const char* name = path[0] == '"' ? path + 1 : path;

  // "Loaded: <path>", a blank line, then the file's first bytes with line ends made CRLF.
  char* text = static_cast<char*>(LocalAlloc(LMEM_FIXED, MAX_PATH + 32 + 2 * kShownBytes + 1));
  if (!text) return nullptr;
  HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    wsprintfA(text, "Cannot load %s", name);
    return text;
  }
  int used = wsprintfA(text, "Loaded: %s\r\n\r\n", name);
  char bytes[kShownBytes];
  DWORD got = 0;
  if (!ReadFile(file, bytes, sizeof bytes, &got, nullptr)) got = 0;
  CloseHandle(file);
  for (DWORD i = 0; i < got; ++i) {
    char c = bytes[i];
    if (c == '\n' && (i == 0 || bytes[i - 1] != '\r')) text[used++] = '\r';
    text[used++] = c == '\0' ? ' ' : c;
  }
  text[used] = '\0';
  return text;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      MoveWindow(GetDlgItem(window, kTextControl), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassA(&windowClass)) return 1;
  HWND window = CreateWindowA(kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 520, 360, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  char* text = WindowText(commandLine);
  HWND edit = CreateWindowA("EDIT", text ? text : "",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                                ES_AUTOVSCROLL,
                            0, 0, 0, 0, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextControl)), instance,
                            nullptr);
  if (text) LocalFree(text);
  if (!edit) return 1;
  SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return int(message.wParam);
}
