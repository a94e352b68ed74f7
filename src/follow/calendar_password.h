// A followed calendar's password, kept only in Windows' Credential Manager:
// a generic credential named "Chimewatch:" and the address, on this PC
// for this user (a portable folder carries the calendars, not their
// passwords). Never in the store, a copy, a log or a box.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Longer passwords do not fit a credential (CRED_MAX_CREDENTIAL_BLOB_SIZE).
inline constexpr std::size_t kMaxPasswordLength = 1280;

std::optional<std::wstring> ReadCalendarPassword(std::wstring_view address);
// False when Windows would not keep it.
bool KeepCalendarPassword(std::wstring_view address, std::wstring_view user, std::wstring_view password);
void ForgetCalendarPassword(std::wstring_view address);
