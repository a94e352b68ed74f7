// Memory in another process, for the common-control messages whose
// structures and text buffers must live in the process that owns the control.
#pragma once

#include <windows.h>

#include <cstddef>

namespace driver {

class RemoteMemory {
 public:
  RemoteMemory(HWND owner, std::size_t size);
  ~RemoteMemory();
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  explicit operator bool() const { return address_ != nullptr; }
  // The address as the other process sees it, `offset` bytes in.
  void* At(std::size_t offset = 0) const { return static_cast<char*>(address_) + offset; }
  LPARAM Param(std::size_t offset = 0) const { return reinterpret_cast<LPARAM>(At(offset)); }
  bool Write(const void* data, std::size_t size, std::size_t offset = 0) const;
  bool Read(void* data, std::size_t size, std::size_t offset = 0) const;

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace driver
