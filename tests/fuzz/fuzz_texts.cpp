// Feeds arbitrary texts to every reader of stored or typed text, and checks
// that what they accept is a valid date that formats and reads back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "alarm_store.h"
#include "date_format.h"
#include "date_parse.h"
#include "memory_settings.h"
#include "text_convert.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Bytes below 0x80 stay ASCII so that the readers' digits and separators
// come up often; a high byte pulls in the next one for a wider character.
std::wstring ToText(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] < 0x80 || i + 1 == size) {
      text += static_cast<wchar_t>(data[i]);
    } else {
      text += static_cast<wchar_t>((data[i] << 8) | data[i + 1]);
      ++i;
    }
  }
  return text;
}

void CheckDateText(const std::wstring& text) {
  const auto parsed = ParseDateText(text, 2026);
  if (!parsed) return;
  Check(IsValidDate(*parsed));
  const std::wstring stored = FormatDate(*parsed, kStoredTimePattern);
  Check(stored.size() == 16);
  const auto back = ReadStoredTime(stored);
  Check(back.has_value());
  Check(FormatDate(*back, kStoredTimePattern) == stored);
}

void CheckStoredSlot(const std::wstring& text) {
  MemorySettings store;
  const wchar_t* keys[] = {L"Actief", L"Getoond", L"Naam", L"Tijd", L"Repeat", L"Delete"};
  store.WriteSetting(kApplicationName, L"0", L"Exist", L"True");
  std::size_t start = 0;
  for (const wchar_t* key : keys) {
    const std::size_t end = std::min(text.find(L'|', start), text.size());
    store.WriteSetting(kApplicationName, L"0", key, text.substr(start, end - start));
    start = std::min(end + 1, text.size());
  }
  AlarmTable table;
  const LoadReport report = LaadAlarmen(table, store);
  Check(report.damaged.empty() == table[0].Exist);
  if (table[0].Exist) Check(IsValidDate(table[0].Tijd));
  (void)DamagedValuesMessage(report);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = ToText(data, size);
  CheckDateText(text);
  if (const auto stored = ReadStoredTime(text)) Check(IsValidDate(*stored));
  (void)ParseBooleanText(text);
  const Integer16Result number = ParseInteger16(text);
  Check(number.error == IntegerError::None || number.value == 0);
  (void)LeadingNumber(text);
  CheckStoredSlot(text);
  return 0;
}
