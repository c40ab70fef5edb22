// The small modeless window that shows, during the installation actions, a progress bar
// and one line of status text. It has no buttons and takes no input; it is changed by
// direct calls, without messages being dispatched between them.
#pragma once
#include <windows.h>

class ProgressDialog {
 public:
  ProgressDialog() = default;
  ~ProgressDialog() { Destroy(); }
  ProgressDialog(const ProgressDialog&) = delete;
  ProgressDialog& operator=(const ProgressDialog&) = delete;

  // Creates the dialog from its template over the owner, titles it "Installing...",
  // centres it on the screen and shows it. When it cannot be created, every later call
  // does nothing and the installation runs on without it.
  void Create(HWND owner);
  // Steps of 1 from 0 to n (a 16-bit value).
  void SetRange(int n);
  // Advances the bar by one.
  void Step();
  // Replaces the status line.
  void SetStatus(const char* text);
  void Destroy();
  HWND Handle() const { return dialog_; }

 private:
  HWND dialog_ = nullptr;
};

// Where a window whose client area is `client` goes to sit centred on the desktop: half
// the difference of the right and bottom edges, truncated toward zero. The client size,
// not the window size, enters, so the frame shifts the window slightly right and down.
POINT CentredPosition(const RECT& client, const RECT& desktop);
