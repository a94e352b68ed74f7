#include "remote_memory.h"

namespace driver {

RemoteMemory::RemoteMemory(HWND owner, std::size_t size) : size_(size) {
  DWORD pid = 0;
  GetWindowThreadProcessId(owner, &pid);
  process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteMemory::~RemoteMemory() {
  if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  if (process_) CloseHandle(process_);
}

bool RemoteMemory::Write(const void* data, std::size_t size, std::size_t offset) const {
  return address_ && offset + size <= size_ && WriteProcessMemory(process_, At(offset), data, size, nullptr);
}

bool RemoteMemory::Read(void* data, std::size_t size, std::size_t offset) const {
  return address_ && offset + size <= size_ && ReadProcessMemory(process_, At(offset), data, size, nullptr);
}

}  // namespace driver
