#include "program_identity.h"

#include <cstdint>

namespace {

constexpr wchar_t kRegistryLock[] = L"Local\\Chimewatch.SingleInstance";
constexpr wchar_t kRegistryTitle[] = L"Form1";

// FNV-1a, 64 bits, over the path's UTF-16 units: a name of fixed length
// within the object-name rules (no backslash, far below MAX_PATH).
std::wstring HashText(std::wstring_view text) {
  std::uint64_t hash = 0xCBF29CE484222325ull;
  for (const wchar_t c : text) {
    hash ^= static_cast<std::uint32_t>(c);
    hash *= 0x100000001B3ull;
  }
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring hex;
  for (int shift = 60; shift >= 0; shift -= 4) hex += kDigits[(hash >> shift) & 0xF];
  return hex;
}

}  // namespace

ProgramIdentity IdentityOfStore(std::wstring_view foldedPortableFile) {
  if (foldedPortableFile.empty()) return {kRegistryLock, kRegistryTitle};
  const std::wstring hash = HashText(foldedPortableFile);
  return {std::wstring(kRegistryLock) + L"." + hash, std::wstring(kRegistryTitle) + L" " + hash};
}
