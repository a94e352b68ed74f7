#include "tray_tip.h"

#include <algorithm>

#include "date_format.h"
#include "number_text.h"
#include "text_table.h"

DateValue NoAlarmSentinel() { return MakeDate(2100, 1, 1); }

DateValue NextAlarmTime(const AlarmTable& table, DateValue now) {
  DateValue next = NoAlarmSentinel();
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    const AlarmRecord& alarm = table[slot];
    if (alarm.Exist && alarm.Actief && alarm.Tijd > now && alarm.Tijd < next) next = alarm.Tijd;
  }
  return next;
}

std::wstring Timer1TipText(const AlarmTable& table, bool monitoring, DateValue now, std::size_t waiting,
                           DateValue followedNext) {
  std::wstring tip = Text(monitoring ? TextId::TipActive : TextId::TipNotActive) + L"  ";
  const DateValue next = std::min(NextAlarmTime(table, now), followedNext > now ? followedNext : NoAlarmSentinel());
  tip += FormatDate(next - now, kCountdownPattern);
  if (waiting > 0) {
    const auto count = static_cast<std::int64_t>(waiting);
    tip += L"\n" + CountText(TextId::TipWaiting, count, {WideDecimalText(count)});
  }
  return tip;
}

std::array<wchar_t, kTipFieldLength> TipField(std::wstring_view text) {
  std::array<wchar_t, kTipFieldLength> field;
  field.fill(L' ');
  const std::size_t copied = std::min(text.size(), kTipFieldLength);
  text.copy(field.data(), copied);
  if (copied < kTipFieldLength) field[copied] = L'\0';
  return field;
}
