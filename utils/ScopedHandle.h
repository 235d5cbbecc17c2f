// Move-only owners of the Win32 handles and COM pointers the program holds.
// Each kind is one line below. reset() keeps GetLastError intact, so an owner can be
// replaced on an error path without losing the error being reported.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace Utils {

template <typename T, typename Traits>
class ScopedResource {
 public:
  ScopedResource() = default;
  explicit ScopedResource(T value) : value_(value) {}
  ~ScopedResource() { reset(); }

  ScopedResource(const ScopedResource&) = delete;
  ScopedResource& operator=(const ScopedResource&) = delete;
  ScopedResource(ScopedResource&& other) noexcept : value_(other.release()) {}
  ScopedResource& operator=(ScopedResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  T get() const { return value_; }
  bool valid() const { return value_ != Traits::Invalid(); }
  explicit operator bool() const { return valid(); }

  // Hands the value over without closing it.
  T release() { return std::exchange(value_, Traits::Invalid()); }

  void reset(T value = Traits::Invalid()) {
    if (value_ == value) return;
    if (valid()) {
      DWORD error = ::GetLastError();
      Traits::Close(value_);
      ::SetLastError(error);
    }
    value_ = value;
  }

  // For APIs that write a handle through a pointer; closes what was held.
  T* receive() {
    reset();
    return &value_;
  }

 private:
  T value_ = Traits::Invalid();
};

template <typename T, T InvalidValue, auto CloseFn>
struct HandleTraits {
  static T Invalid() { return InvalidValue; }
  static void Close(T value) { CloseFn(value); }
};

// The pseudo-value INVALID_HANDLE_VALUE is no constant expression, so file handles
// get traits of their own.
struct FileHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE value) { ::CloseHandle(value); }
};

struct GdiObjectTraits {
  static HGDIOBJ Invalid() { return nullptr; }
  static void Close(HGDIOBJ value) { ::DeleteObject(value); }
};

template <typename T>
struct TypedGdiTraits {
  static T Invalid() { return nullptr; }
  static void Close(T value) { ::DeleteObject(value); }
};

using ScopedHandle = ScopedResource<HANDLE, HandleTraits<HANDLE, nullptr, ::CloseHandle>>;
using ScopedFileHandle = ScopedResource<HANDLE, FileHandleTraits>;
using ScopedRegKey = ScopedResource<HKEY, HandleTraits<HKEY, nullptr, ::RegCloseKey>>;
using ScopedModule = ScopedResource<HMODULE, HandleTraits<HMODULE, nullptr, ::FreeLibrary>>;
using ScopedHGlobal = ScopedResource<HGLOBAL, HandleTraits<HGLOBAL, nullptr, ::GlobalFree>>;
using ScopedHLocal = ScopedResource<HLOCAL, HandleTraits<HLOCAL, nullptr, ::LocalFree>>;
using ScopedMemoryDC = ScopedResource<HDC, HandleTraits<HDC, nullptr, ::DeleteDC>>;
using ScopedBitmap = ScopedResource<HBITMAP, TypedGdiTraits<HBITMAP>>;
using ScopedFont = ScopedResource<HFONT, TypedGdiTraits<HFONT>>;
using ScopedBrush = ScopedResource<HBRUSH, TypedGdiTraits<HBRUSH>>;
using ScopedPen = ScopedResource<HPEN, TypedGdiTraits<HPEN>>;
using ScopedRegion = ScopedResource<HRGN, TypedGdiTraits<HRGN>>;
using ScopedIcon = ScopedResource<HICON, HandleTraits<HICON, nullptr, ::DestroyIcon>>;
using ScopedWindow = ScopedResource<HWND, HandleTraits<HWND, nullptr, ::DestroyWindow>>;

// A DC borrowed from a window with GetDC goes back with ReleaseDC, which needs the window.
class ScopedWindowDC {
 public:
  explicit ScopedWindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~ScopedWindowDC() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  ScopedWindowDC(const ScopedWindowDC&) = delete;
  ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Puts an object into a DC for the life of the scope and puts the old one back.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~ScopedSelectObject() {
    if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

template <typename T>
class ScopedComPtr {
 public:
  ScopedComPtr() = default;
  // Takes over a reference the caller already owns.
  explicit ScopedComPtr(T* pointer) : pointer_(pointer) {}
  ~ScopedComPtr() { reset(); }
  ScopedComPtr(const ScopedComPtr&) = delete;
  ScopedComPtr& operator=(const ScopedComPtr&) = delete;
  ScopedComPtr(ScopedComPtr&& other) noexcept : pointer_(other.release()) {}
  ScopedComPtr& operator=(ScopedComPtr&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  T* release() { return std::exchange(pointer_, nullptr); }
  void reset(T* pointer = nullptr) {
    if (pointer_) pointer_->Release();
    pointer_ = pointer;
  }
  // For CoCreateInstance and QueryInterface.
  void** receive() {
    reset();
    return reinterpret_cast<void**>(&pointer_);
  }

 private:
  T* pointer_ = nullptr;
};

// COM for the life of a worker's body; uninitialised only when it was initialised.
class ScopedCoInitialize {
 public:
  ScopedCoInitialize() : result_(::CoInitialize(nullptr)) {}
  ~ScopedCoInitialize() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ScopedCoInitialize(const ScopedCoInitialize&) = delete;
  ScopedCoInitialize& operator=(const ScopedCoInitialize&) = delete;
  bool succeeded() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};

}  // namespace Utils
