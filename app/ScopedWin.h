// Small owners of Windows handles. Each releases what it holds when it goes; none can be copied.
#pragma once
#include <windows.h>

// A file handle from CreateFileA (invalid: INVALID_HANDLE_VALUE).
class ScopedFile {
 public:
  explicit ScopedFile(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~ScopedFile() { Close(); }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;
  bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  void Close() {
    if (IsValid()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

// A search handle from FindFirstFileA.
class ScopedFind {
 public:
  explicit ScopedFind(HANDLE handle) : handle_(handle) {}
  ~ScopedFind() {
    if (IsValid()) FindClose(handle_);
  }
  ScopedFind(const ScopedFind&) = delete;
  ScopedFind& operator=(const ScopedFind&) = delete;
  bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

// A GDI object (brush, bitmap, palette, region), deleted with DeleteObject.
template <typename T>
class ScopedGdiObject {
 public:
  explicit ScopedGdiObject(T object = nullptr) : object_(object) {}
  ~ScopedGdiObject() { Reset(); }
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
  T Get() const { return object_; }
  void Reset(T object = nullptr) {
    if (object_) DeleteObject(object_);
    object_ = object;
  }
  T Release() {
    T object = object_;
    object_ = nullptr;
    return object;
  }

 private:
  T object_;
};

// A memory device context from CreateCompatibleDC, deleted with DeleteDC.
class ScopedMemoryDc {
 public:
  explicit ScopedMemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
  ~ScopedMemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  ScopedMemoryDc(const ScopedMemoryDc&) = delete;
  ScopedMemoryDc& operator=(const ScopedMemoryDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

// An object selected into a device context; the previous one is selected back at the end.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~ScopedSelect() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
