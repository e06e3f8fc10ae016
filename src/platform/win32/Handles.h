#pragma once
// Owners for the system handles the adapters open, so that every path releases them.
#include <windows.h>

#include <memory>

namespace win32 {

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
// A kernel handle; null when empty (callers turn INVALID_HANDLE_VALUE into null first).
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

inline UniqueHandle adoptFileHandle(HANDLE handle) {
  return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

struct FindCloser {
  void operator()(HANDLE handle) const { FindClose(handle); }
};
using UniqueFind = std::unique_ptr<void, FindCloser>;

struct KeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<HKEY__, KeyCloser>;

struct GlobalFreer {
  void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
using UniqueGlobal = std::unique_ptr<void, GlobalFreer>;

struct LocalFreer {
  void operator()(void* memory) const { LocalFree(memory); }
};

struct ObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};

// Keeps global memory locked for one scope.
class GlobalLockGuard {
 public:
  explicit GlobalLockGuard(HGLOBAL memory)
      : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
  ~GlobalLockGuard() {
    if (data_)
      GlobalUnlock(memory_);
  }
  GlobalLockGuard(const GlobalLockGuard&) = delete;
  GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
  void* data() const { return data_; }
  // The size of the block in bytes (0 when it could not be locked).
  SIZE_T size() const { return data_ ? GlobalSize(memory_) : 0; }

 private:
  HGLOBAL memory_;
  void* data_;
};

}  // namespace win32
