#include "random_number.h"

#include <windows.h>

#include <bcrypt.h>

#include <string>

namespace {

using GenRandomFunction = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, PUCHAR, ULONG, ULONG);

// BCryptGenRandom with the system's preferred generator, as Microsoft asks
// in place of RtlGenRandom. bcrypt.dll is not one of Windows' known DLLs,
// so it is loaded by its full path in System32 when first needed, never
// imported: an import would be looked for beside the program first.
GenRandomFunction GenRandom() {
  wchar_t system[MAX_PATH];
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(system, length) + L"\\bcrypt.dll";
  HMODULE bcrypt = LoadLibraryW(path.c_str());  // kept for the program's life
  if (bcrypt == nullptr) return nullptr;
  return reinterpret_cast<GenRandomFunction>(reinterpret_cast<void*>(GetProcAddress(bcrypt, "BCryptGenRandom")));
}

}  // namespace

std::uint64_t RandomNumber() {
  static const GenRandomFunction genRandom = GenRandom();
  std::uint64_t number = 0;
  if (genRandom != nullptr &&
      genRandom(nullptr, reinterpret_cast<PUCHAR>(&number), sizeof number, BCRYPT_USE_SYSTEM_PREFERRED_RNG) >= 0) {
    return number;
  }
  return GetTickCount64() ^ (std::uint64_t{GetCurrentProcessId()} << 32);
}
