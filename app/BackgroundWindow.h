// The maximised popup window that covers the screen behind the wizard and the progress
// dialog: a vertical gradient from the page colour down to the gradient colour, and the
// background picture, when there is one, unscaled at the top left.
#pragma once
#include <windows.h>

class BackgroundWindow {
 public:
  BackgroundWindow() = default;
  ~BackgroundWindow() { Destroy(); }
  BackgroundWindow(const BackgroundWindow&) = delete;
  BackgroundWindow& operator=(const BackgroundWindow&) = delete;

  // Registers the window class and creates the window (hidden) with the caption as title.
  bool Create(const char* caption);
  void Destroy();
  HWND Handle() const { return window_; }

 private:
  HWND window_ = nullptr;
};

// The window procedure: paints on WM_PAINT, repaints when the system palette changes.
LRESULT CALLBACK BackgroundWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Fills the client rectangle with the 255 bands of the gradient of the current context.
void PaintGradient(HDC dc, const RECT& client);

// Reads a Windows bitmap file into a DIB section. None (null) for a missing or unreadable
// file, a file that is not a bitmap, a core-header bitmap and a file whose headers lie
// about what it holds.
HBITMAP LoadBitmapFile(const char* path);
