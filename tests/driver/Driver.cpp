#include "tests/driver/Driver.h"

#include <stdio.h>
#include <string.h>

namespace driver {

namespace {

const int kPollMs = 20;

bool Matches(HWND window, const char* className, const char* title) {
  if (className && ClassName(window) != className) return false;
  if (title && WindowText(window) != title) return false;
  return true;
}

struct EnumContext {
  DWORD processId;
  bool visibleOnly;
  std::vector<HWND>* windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
  EnumContext* context = reinterpret_cast<EnumContext*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == context->processId && (!context->visibleOnly || IsWindowVisible(window))) {
    context->windows->push_back(window);
  }
  return TRUE;
}

// Environment block of the current environment with the overrides applied.
std::vector<char> EnvironmentBlock(const std::vector<std::string>& overrides) {
  std::vector<std::string> entries;
  char* strings = GetEnvironmentStringsA();
  for (const char* p = strings; *p; p += strlen(p) + 1) entries.emplace_back(p);
  FreeEnvironmentStringsA(strings);
  for (const std::string& entry : overrides) {
    std::string name = entry.substr(0, entry.find('=') + 1);
    for (auto it = entries.begin(); it != entries.end();) {
      if (_strnicmp(it->c_str(), name.c_str(), name.size()) == 0) {
        it = entries.erase(it);
      } else {
        ++it;
      }
    }
    entries.push_back(entry);
  }
  std::vector<char> block;
  for (const std::string& entry : entries) block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
  block.push_back('\0');
  return block;
}

}  // namespace

Process::~Process() {
  if (IsRunning()) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  if (info_.hProcess) CloseHandle(info_.hProcess);
  if (info_.hThread) CloseHandle(info_.hThread);
}

bool Process::Start(const std::string& program, const std::vector<std::string>& environment) {
  std::string commandLine = "\"" + program + "\"";
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  std::vector<char> block = EnvironmentBlock(environment);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  return CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                        environment.empty() ? nullptr : block.data(), nullptr, &startup, &info_) != 0;
}

long Process::WaitForExit(int timeoutMs) {
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, DWORD(timeoutMs)) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return long(code);
}

bool Process::IsRunning() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly) {
  std::vector<HWND> windows;
  EnumContext context = {processId, visibleOnly, &windows};
  EnumWindows(CollectWindow, LPARAM(&context));
  return windows;
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* title) {
  for (HWND window : TopLevelWindows(processId, false)) {
    if (Matches(window, className, title)) return window;
  }
  return nullptr;
}

HWND WaitForWindow(DWORD processId, const char* className, const char* title, int timeoutMs) {
  DWORD start = GetTickCount();
  do {
    for (HWND window : TopLevelWindows(processId)) {
      if (Matches(window, className, title)) return window;
    }
    Sleep(kPollMs);
  } while (int(GetTickCount() - start) < timeoutMs);
  return nullptr;
}

std::string ClassName(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string WindowText(HWND window) {
  char text[4096] = "";
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, LPARAM(text), SMTO_ABORTIFHUNG, 5000,
                           &copied)) {
    GetWindowTextA(window, text, sizeof text);
  }
  return text;
}

std::string ControlText(HWND dialog, int controlId) {
  HWND control = GetDlgItem(dialog, controlId);
  return control ? WindowText(control) : std::string();
}

bool PressButton(HWND dialog, int controlId) {
  HWND button = GetDlgItem(dialog, controlId);
  if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
  return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), LPARAM(button)) != 0;
}

bool WaitForMessageBox(DWORD processId, MessageBoxInfo* box, int timeoutMs) {
  DWORD start = GetTickCount();
  do {
    for (HWND window : TopLevelWindows(processId)) {
      if (ClassName(window) != "#32770" || !GetDlgItem(window, 0xFFFF)) continue;
      box->window = window;
      box->owner = GetWindow(window, GW_OWNER);
      box->title = WindowText(window);
      box->text = ControlText(window, 0xFFFF);
      return true;
    }
    Sleep(kPollMs);
  } while (int(GetTickCount() - start) < timeoutMs);
  return false;
}

bool AnswerMessageBox(const MessageBoxInfo& box, int button) { return PressButton(box.window, button); }

bool MessageBoxShowsIcon(const MessageBoxInfo& box, LPCSTR systemIcon) {
  // The icon is the static control of the box that holds no text, sized like an icon.
  HWND iconControl = nullptr;
  for (HWND child = GetWindow(box.window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassName(child) == "Static" && GetDlgCtrlID(child) != 0xFFFF) iconControl = child;
  }
  if (!iconControl) return false;
  RECT rect;
  GetWindowRect(iconControl, &rect);
  int size = GetSystemMetrics(SM_CXICON);
  Screenshot shot;
  if (!shot.Capture()) return false;

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  HBRUSH background = CreateSolidBrush(shot.Pixel(rect.left, rect.top));
  RECT all = {0, 0, size, size};
  FillRect(memory, &all, background);
  DeleteObject(background);
  DrawIconEx(memory, 0, 0, LoadIconA(nullptr, systemIcon), size, size, 0, nullptr, DI_NORMAL);
  int differing = 0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      if (GetPixel(memory, x, y) != shot.Pixel(rect.left + x, rect.top + y)) ++differing;
    }
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return differing == 0;
}

void Settle(DWORD processId, int milliseconds) {
  Sleep(DWORD(milliseconds));
  for (HWND window : TopLevelWindows(processId)) {
    DWORD_PTR result;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
  }
}

bool Screenshot::Capture() {
  width_ = GetSystemMetrics(SM_CXSCREEN);
  height_ = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool captured = false;
  if (bitmap) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    captured = BitBlt(memory, 0, 0, width_, height_, screen, 0, 0, SRCCOPY) != 0;
    GdiFlush();
    const uint32_t* source = static_cast<const uint32_t*>(bits);
    pixels_.assign(source, source + size_t(width_) * height_);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return captured;
}

COLORREF Screenshot::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  uint32_t p = pixels_[size_t(y) * width_ + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool Screenshot::Save(const std::string& path) const {
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return false;
  int rowBytes = (width_ * 3 + 3) & ~3;
  BITMAPFILEHEADER fileHeader = {};
  BITMAPINFOHEADER infoHeader = {};
  fileHeader.bfType = 0x4D42;
  fileHeader.bfOffBits = sizeof fileHeader + sizeof infoHeader;
  fileHeader.bfSize = fileHeader.bfOffBits + DWORD(rowBytes) * height_;
  infoHeader.biSize = sizeof infoHeader;
  infoHeader.biWidth = width_;
  infoHeader.biHeight = height_;
  infoHeader.biPlanes = 1;
  infoHeader.biBitCount = 24;
  fwrite(&fileHeader, sizeof fileHeader, 1, file);
  fwrite(&infoHeader, sizeof infoHeader, 1, file);
  std::vector<uint8_t> row(rowBytes, 0);
  for (int y = height_ - 1; y >= 0; --y) {
    for (int x = 0; x < width_; ++x) {
      uint32_t p = pixels_[size_t(y) * width_ + x];
      row[x * 3] = uint8_t(p);
      row[x * 3 + 1] = uint8_t(p >> 8);
      row[x * 3 + 2] = uint8_t(p >> 16);
    }
    fwrite(row.data(), 1, row.size(), file);
  }
  return fclose(file) == 0;
}

std::string ColourText(COLORREF colour) {
  char text[32];
  snprintf(text, sizeof text, "%d,%d,%d", GetRValue(colour), GetGValue(colour), GetBValue(colour));
  return text;
}

}  // namespace driver
