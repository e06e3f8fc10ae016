#pragma once
// Owners of the system resources the adapters and the window take, so that every path gives
// back what it took: one template, one line per kind of resource.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace win32 {

// Owns one handle and gives it back once with Close. Where giving back needs a second handle
// too (the window that lent a DC, the DC an object is selected into, the block that is locked),
// that one is the owner, passed to Close first. The system's calls fail with null or with -1
// (INVALID_HANDLE_VALUE, HGDI_ERROR): either means no handle, nothing to give back.
template <class Handle, auto Close, class Owner = std::nullptr_t>
class Unique {
 public:
  Unique() = default;
  explicit Unique(Handle handle) : handle_(handle) {}
  Unique(Owner owner, Handle handle) : owner_(owner), handle_(handle) {}
  Unique(Unique&& other) noexcept : owner_(other.owner_), handle_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) {
      reset();
      owner_ = other.owner_;
      handle_ = other.release();
    }
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  ~Unique() { reset(); }

  [[nodiscard]] Handle get() const { return handle_; }
  [[nodiscard]] Owner owner() const { return owner_; }
  explicit operator bool() const { return valid(handle_); }
  // Hands the handle over to the caller (or to the system), which gives it back from now on.
  [[nodiscard]] Handle release() { return std::exchange(handle_, Handle{}); }
  // Where a system call hands out the handle through an out-parameter: owned from the call on.
  Handle* put() {
    reset();
    return &handle_;
  }
  // Giving a handle back keeps the last error: a failure read after the owner went out of scope
  // is still the failure of the call that failed.
  void reset(Handle handle = Handle{}) {
    const Handle old = std::exchange(handle_, handle);
    if (!valid(old))
      return;
    const DWORD error = GetLastError();
    if constexpr (std::is_same_v<Owner, std::nullptr_t>) {
      Close(old);
    } else {
      Close(owner_, old);
    }
    SetLastError(error);
  }

 private:
  static bool valid(Handle handle) {
    return handle != Handle{} && handle != reinterpret_cast<Handle>(std::intptr_t{-1});
  }
  Owner owner_{};
  Handle handle_{};
};

inline void unlockGlobal(HGLOBAL memory, void* /*data*/) {
  GlobalUnlock(memory);
}

// Kernel objects: a file, a process, a thread.
using UniqueHandle = Unique<HANDLE, CloseHandle>;
using UniqueFind = Unique<HANDLE, FindClose>;
using UniqueKey = Unique<HKEY, RegCloseKey>;
using UniqueGlobal = Unique<HGLOBAL, GlobalFree>;
using UniqueLocal = Unique<HLOCAL, LocalFree>;
using UniqueWindow = Unique<HWND, DestroyWindow>;
using UniqueBitmap = Unique<HBITMAP, DeleteObject>;
using UniqueFont = Unique<HFONT, DeleteObject>;
using UniqueBrush = Unique<HBRUSH, DeleteObject>;
using UniquePen = Unique<HPEN, DeleteObject>;
using UniqueIcon = Unique<HICON, DestroyIcon>;
// A DC of the program's own (CreateCompatibleDC).
using UniqueDc = Unique<HDC, DeleteDC>;
// A window's DC (GetDC), released to its window.
using ReleasedDc = Unique<HDC, ReleaseDC, HWND>;
// The object a DC held before another was selected into it, selected back at the end.
using SelectedObject = Unique<HGDIOBJ, SelectObject, HDC>;
// The data of a global memory block, locked while the owner lives.
using GlobalLocked = Unique<void*, unlockGlobal, HGLOBAL>;

// A window's paint DC from BeginPaint, ended with EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  ~PaintDc() {
    if (dc_)
      EndPaint(window_, &paint_);
  }
  [[nodiscard]] HDC get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

inline ReleasedDc windowDc(HWND window) {
  return ReleasedDc(window, GetDC(window));
}
inline SelectedObject select(HDC dc, HGDIOBJ object) {
  return SelectedObject(dc, SelectObject(dc, object));
}
inline GlobalLocked lockGlobal(HGLOBAL memory) {
  return GlobalLocked(memory, memory ? GlobalLock(memory) : nullptr);
}

}  // namespace win32
