#include "windows_zones.h"

#include <windows.h>

#include <string>

#include "scoped_handles.h"
#include "zone_display_name.h"

namespace {

constexpr wchar_t kZonesKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";

// The "TZI" value of a zone's key: REG_TZI_FORMAT.
struct StoredZoneInformation {
  LONG bias;
  LONG standardBias;
  LONG daylightBias;
  SYSTEMTIME standardDate;
  SYSTEMTIME daylightDate;
};
static_assert(sizeof(StoredZoneInformation) == 44);

// A SYSTEMTIME in a zone record: with no year, wDay is the week (5 the last).
ZoneChange ChangeFrom(const SYSTEMTIME& time) {
  ZoneChange change;
  change.year = time.wYear;
  change.month = time.wMonth;
  change.dayOfWeek = time.wDayOfWeek;
  if (time.wYear == 0) {
    change.week = time.wDay;
  } else {
    change.day = time.wDay;
  }
  change.hour = time.wHour;
  change.minute = time.wMinute;
  change.second = time.wSecond;
  return change;
}

ZoneRules RulesFrom(std::wstring name, LONG bias, LONG standardBias, LONG daylightBias, const SYSTEMTIME& standardDate,
                    const SYSTEMTIME& daylightDate) {
  ZoneRules rules;
  rules.name = std::move(name);
  rules.biasMinutes = bias;
  rules.standardBiasMinutes = standardBias;
  rules.daylightBiasMinutes = daylightBias;
  rules.standardDate = ChangeFrom(standardDate);
  rules.daylightDate = ChangeFrom(daylightDate);
  return rules;
}

constexpr std::size_t kMaxKeyNameLength = 255;

std::optional<std::wstring> ReadText(HKEY key, const wchar_t* value) {
  DWORD size = 0;
  if (RegGetValueW(key, nullptr, value, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegGetValueW(key, nullptr, value, RRF_RT_REG_SZ, nullptr, text.data(), &size) != ERROR_SUCCESS) return std::nullopt;
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

std::optional<ZoneRules> ReadZone(HKEY zones, const std::wstring& keyName) {
  ScopedHKEY zone;
  if (RegOpenKeyExW(zones, keyName.c_str(), 0, KEY_READ, zone.Receive()) != ERROR_SUCCESS) return std::nullopt;
  StoredZoneInformation stored{};
  DWORD size = sizeof stored;
  if (RegGetValueW(zone.Get(), nullptr, L"TZI", RRF_RT_REG_BINARY, nullptr, &stored, &size) != ERROR_SUCCESS ||
      size != sizeof stored) {
    return std::nullopt;
  }
  return RulesFrom(keyName, stored.bias, stored.standardBias, stored.daylightBias, stored.standardDate,
                   stored.daylightDate);
}

std::optional<ZoneRules> FindByDisplayName(HKEY zones, std::wstring_view display) {
  // A key's name has at most 255 characters, as Windows' registry allows.
  std::wstring keyName(kMaxKeyNameLength + 1, L'\0');
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(keyName.size());
    if (RegEnumKeyExW(zones, index, keyName.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    ScopedHKEY zone;
    if (RegOpenKeyExW(zones, keyName.c_str(), 0, KEY_READ, zone.Receive()) != ERROR_SUCCESS) continue;
    const auto shown = ReadText(zone.Get(), L"Display");
    if (shown && SameZoneDisplayName(*shown, display)) return ReadZone(zones, keyName.substr(0, length));
  }
  return std::nullopt;
}

}  // namespace

ZoneRules LocalZoneRules() {
  DYNAMIC_TIME_ZONE_INFORMATION zone{};
  GetDynamicTimeZoneInformation(&zone);
  return RulesFrom(zone.TimeZoneKeyName, zone.Bias, zone.StandardBias, zone.DaylightBias, zone.StandardDate,
                   zone.DaylightDate);
}

std::optional<ZoneRules> FindWindowsZone(std::wstring_view name) {
  if (name.empty() || name.size() > kMaxKeyNameLength) return std::nullopt;
  ScopedHKEY zones;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kZonesKey, 0, KEY_READ, zones.Receive()) != ERROR_SUCCESS) return std::nullopt;
  const std::wstring keyName(name);
  // A key name holds no backslash; a display text is no key name.
  if (keyName.find(L'\\') == std::wstring::npos) {
    if (auto rules = ReadZone(zones.Get(), keyName)) return rules;
  }
  return FindByDisplayName(zones.Get(), name);
}
