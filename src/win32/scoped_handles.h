// Owners for the Win32 handles the program keeps.
#pragma once

#include <windows.h>

template <typename Handle, typename Deleter>
class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ~ScopedHandle() { Reset(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  Handle Get() const { return handle_; }
  Handle* Receive() {
    Reset();
    return &handle_;
  }
  void Reset(Handle handle = nullptr) {
    if (handle_) Deleter{}(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

struct CloseRegKey {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
struct DestroyMenuHandle {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct DestroyIconHandle {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct DeleteFontHandle {
  void operator()(HFONT font) const { DeleteObject(font); }
};

struct CloseKernelHandle {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};

using ScopedHKEY = ScopedHandle<HKEY, CloseRegKey>;
using ScopedHMENU = ScopedHandle<HMENU, DestroyMenuHandle>;
using ScopedHICON = ScopedHandle<HICON, DestroyIconHandle>;
using ScopedHFONT = ScopedHandle<HFONT, DeleteFontHandle>;

// CreateFileW fails with INVALID_HANDLE_VALUE rather than null: the owner
// keeps null for "no file".
class ScopedFileHandle : public ScopedHandle<HANDLE, CloseKernelHandle> {
 public:
  explicit ScopedFileHandle(HANDLE handle) : ScopedHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
};
