#include "calendar_password.h"

#include <windows.h>
#include <wincred.h>

namespace {

std::wstring TargetName(std::wstring_view address) { return L"Chimewatch:" + std::wstring(address); }

}  // namespace

std::optional<std::wstring> ReadCalendarPassword(std::wstring_view address) {
  PCREDENTIALW credential = nullptr;
  if (!CredReadW(TargetName(address).c_str(), CRED_TYPE_GENERIC, 0, &credential)) return std::nullopt;
  std::wstring password(reinterpret_cast<const wchar_t*>(credential->CredentialBlob),
                        credential->CredentialBlobSize / sizeof(wchar_t));
  SecureZeroMemory(credential->CredentialBlob, credential->CredentialBlobSize);
  CredFree(credential);
  return password;
}

bool KeepCalendarPassword(std::wstring_view address, std::wstring_view user, std::wstring_view password) {
  if (password.size() > kMaxPasswordLength) return false;
  std::wstring target = TargetName(address);
  std::wstring userName(user);
  std::wstring blob(password);  // UTF-16 without its NUL, as Windows keeps a generic password
  CREDENTIALW credential = {};
  credential.Type = CRED_TYPE_GENERIC;
  credential.TargetName = target.data();
  credential.UserName = userName.data();
  credential.CredentialBlob = reinterpret_cast<LPBYTE>(blob.data());
  credential.CredentialBlobSize = static_cast<DWORD>(blob.size() * sizeof(wchar_t));
  credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
  const bool kept = CredWriteW(&credential, 0) != FALSE;
  SecureZeroMemory(blob.data(), blob.size() * sizeof(wchar_t));
  return kept;
}

void ForgetCalendarPassword(std::wstring_view address) {
  CredDeleteW(TargetName(address).c_str(), CRED_TYPE_GENERIC, 0);
}
