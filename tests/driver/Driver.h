// The test driver: works the windows of a program under test from another process, as a
// user would. It finds windows by class and title, reads control texts, presses only
// visible and enabled buttons, answers message boxes and reads pixels of the screen.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace driver {

constexpr int kDefaultTimeoutMs = 20000;

// A program started by the driver; it is killed if still running when this goes.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Starts the program with the current environment plus `environment` ("NAME=value"
  // entries, replacing variables of the same name).
  bool Start(const std::string& program, const std::vector<std::string>& environment = {});
  // Waits for the program's end; its exit code, or -1 on timeout.
  long WaitForExit(int timeoutMs = kDefaultTimeoutMs);
  bool IsRunning() const;
  DWORD Id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_ = {};
};

// Top-level windows of a process, in Z order; only visible ones unless asked otherwise.
std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly = true);

// The first visible top-level window of the process with that class (null: any) and title
// (null: any); null when none appears within the timeout.
HWND WaitForWindow(DWORD processId, const char* className, const char* title,
                   int timeoutMs = kDefaultTimeoutMs);
// Whether such a window exists now (visible or not).
HWND FindProcessWindow(DWORD processId, const char* className, const char* title = nullptr);

std::string ClassName(HWND window);
// Title of a top-level window, or text of any control (read with WM_GETTEXT).
std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int controlId);

// Presses a button as a user would: only when it is visible and enabled. The press is
// posted, so it works while the program is inside a modal loop. False when not pressable.
bool PressButton(HWND dialog, int controlId);

// A message box of the program under test.
struct MessageBoxInfo {
  HWND window = nullptr;
  HWND owner = nullptr;
  std::string title;
  std::string text;
};
// Waits for a message box ("#32770" with a static text 65535) of the process.
bool WaitForMessageBox(DWORD processId, MessageBoxInfo* box, int timeoutMs = kDefaultTimeoutMs);
// Message box buttons: IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7.
bool AnswerMessageBox(const MessageBoxInfo& box, int button);
// Whether the box shows the given system icon (IDI_INFORMATION, IDI_ERROR, ...), compared
// pixel by pixel with the icon drawn on the box's own background.
bool MessageBoxShowsIcon(const MessageBoxInfo& box, LPCSTR systemIcon);

// Lets the program under test paint: waits a little and until its windows answer.
void Settle(DWORD processId, int milliseconds = 300);

// The whole screen at one moment.
class Screenshot {
 public:
  bool Capture();
  int width() const { return width_; }
  int height() const { return height_; }
  // 0x00BBGGRR, like COLORREF.
  COLORREF Pixel(int x, int y) const;
  // Writes a 24-bit .bmp file.
  bool Save(const std::string& path) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;  // 0x00RRGGBB, top-down rows
};

std::string ColourText(COLORREF colour);

}  // namespace driver
