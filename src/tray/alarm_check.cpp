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
    if (!IsDue(slot, host_.Now())) continue;
    if (WasShownHere(slot)) {
      MoveOn(slot, table_[slot].Tijd);
    } else if (!Fire(slot)) {
      break;
    }
  }
  running_ = false;
}

bool AlarmCheck::WasShownHere(int slot) const {
  const auto& shown = shownHere_[static_cast<std::size_t>(slot)];
  return shown && shown->naam == table_[slot].Naam && shown->due == table_[slot].Tijd;
}

bool AlarmCheck::Fire(int slot) {
  const DateValue due = table_[slot].Tijd;
  const std::wstring description = table_[slot].Naam;
  if (!host_.ShowAlarm(AlarmMessageText(table_[slot], due))) return false;
  host_.AlarmBoxClosed(description);
  shownHere_[static_cast<std::size_t>(slot)] = Shown{description, due};
  const AlarmRecord& now = table_[slot];
  // A hand-edited mode stays due and is shown at every tick, as before.
  if (now.Exist && now.Naam == description && now.Tijd == due && MoveOn(slot, due) == AfterFiring::Unchanged) {
    shownHere_[static_cast<std::size_t>(slot)].reset();
  }
  return true;
}

AfterFiring AlarmCheck::MoveOn(int slot, DateValue due) {
  const AfterFiring result = MoveOnAfterFiring(table_[slot], due, host_.Now());
  if (result == AfterFiring::Retired) host_.RemoveListRow(slot);
  host_.SaveSlot(slot);
  return result;
}
