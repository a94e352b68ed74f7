#include "alarm_check.h"

#include "date_format.h"

std::wstring AlarmMessageText(const AlarmRecord& alarm, DateValue due) {
  return alarm.Naam + L"\r\n" + FormatDate(due, kShortTimeDatePattern);
}

bool AlarmCheck::IsDue(int slot, DateValue now) const {
  const AlarmRecord& alarm = table_[slot];
  return alarm.Exist && alarm.Actief && !alarm.Getoond && alarm.Tijd <= now && !host_.HeldBack(slot);
}

void AlarmCheck::Timer_Timer(bool monitoring) {
  if (!monitoring || running_) return;
  running_ = true;
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (IsDue(slot, host_.Now()) && !Fire(slot)) break;
  }
  running_ = false;
}

bool AlarmCheck::Fire(int slot) {
  const DateValue due = table_[slot].Tijd;
  const std::wstring description = table_[slot].Naam;
  if (!host_.ShowAlarm(AlarmMessageText(table_[slot], due))) return false;
  host_.AlarmBoxClosed(description);
  if (MoveOnAfterFiring(table_[slot], due, host_.Now()) == AfterFiring::Retired) host_.RemoveListRow(slot);
  host_.SaveSlot(slot);
  return true;
}
