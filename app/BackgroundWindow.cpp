#include "app/BackgroundWindow.h"

#include <stdio.h>

#include "app/BitmapFile.h"
#include "app/Gradient.h"
#include "app/ScopedWin.h"
#include "app/SetupContext.h"
#include "resources/resource.h"

#if defined(__i386__)
static_assert(sizeof(DIBSECTION) == 84, "DIBSECTION is 84 bytes on 32-bit Windows");
#endif

namespace {

const char kClassName[] = "PINDLESETUPWNDCLASS";

void DrawBackgroundPicture(HDC dc, HBITMAP picture) {
  DIBSECTION dib;
  if (GetObjectA(picture, sizeof dib, &dib) == 0) return;
  ScopedMemoryDc memory(dc);
  if (!memory.Get()) return;
  ScopedSelect selected(memory.Get(), picture);
  BitBlt(dc, 0, 0, dib.dsBm.bmWidth, dib.dsBm.bmHeight, memory.Get(), 0, 0, SRCCOPY);
}

void Paint(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  PaintGradient(dc, client);
  SetupContext* context = CurrentSetupContext;
  if (context && context->backgroundPicture) DrawBackgroundPicture(dc, context->backgroundPicture);
  EndPaint(window, &paint);
}

// A bitmap file opened with the C library, read as raw bytes.
class FileBitmapSource : public BitmapSource {
 public:
  explicit FileBitmapSource(FILE* file) : file_(file) {}
  bool Seek(uint32_t offset) override { return fseek(file_, long(offset), SEEK_SET) == 0; }
  size_t Read(void* buffer, size_t size) override { return fread(buffer, 1, size, file_); }

 private:
  FILE* file_;
};

// Makes a DIB section and reports its pixel memory.
class DibSectionTarget : public BitmapTarget {
 public:
  uint8_t* Create(const uint8_t* headerBlock, size_t, uint64_t* pixelBytes) override {
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(headerBlock),
                               DIB_RGB_COLORS, &bits, nullptr, 0);
    DIBSECTION dib;
    if (!bitmap_ || !bits || GetObjectA(bitmap_, sizeof dib, &dib) == 0) return nullptr;
    *pixelBytes = uint64_t(dib.dsBm.bmWidthBytes) * uint64_t(dib.dsBm.bmHeight);
    return static_cast<uint8_t*>(bits);
  }
  HBITMAP bitmap() const { return bitmap_; }

 private:
  HBITMAP bitmap_ = nullptr;
};

}  // namespace

bool BackgroundWindow::Create(const char* caption) {
  HINSTANCE module = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass = {};
  windowClass.style = 0;
  windowClass.lpfnWndProc = BackgroundWindowProc;
  windowClass.hInstance = module;
  windowClass.hIcon = LoadIconA(module, MAKEINTRESOURCEA(IDI_SETUP));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = nullptr;
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);
  window_ = CreateWindowExA(0, kClassName, caption, WS_POPUPWINDOW, CW_USEDEFAULT, 0,
                            CW_USEDEFAULT, 0, nullptr, nullptr, module, nullptr);
  return window_ != nullptr;
}

void BackgroundWindow::Destroy() {
  if (window_) DestroyWindow(window_);
  window_ = nullptr;
}

LRESULT CALLBACK BackgroundWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_PALETTECHANGED:
      InvalidateRect(window, nullptr, FALSE);
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void PaintGradient(HDC dc, const RECT& client) {
  SetupContext* context = CurrentSetupContext;
  if (!context) return;
  int bandHeight = GradientBandHeight(client.bottom);
  for (int band = 0; band < kGradientBands; ++band) {
    ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(
        GradientBandColour(context->gradientColour, context->pageColour, band)));
    RECT rectangle = {0, band * bandHeight, client.right, (band + 1) * bandHeight};
    FillRect(dc, &rectangle, brush.Get());
  }
}

HBITMAP LoadBitmapFile(const char* path) {
  FILE* file = fopen(path, "rb");
  if (!file) return nullptr;
  FileBitmapSource source(file);
  DibSectionTarget target;
  bool read = ReadBitmap(source, target);
  fclose(file);
  if (!read && target.bitmap()) DeleteObject(target.bitmap());
  return read ? target.bitmap() : nullptr;
}
