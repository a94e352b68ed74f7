#include "alarm_check.h"

#include "date_format.h"

std::wstring AlarmMessageText(const AlarmRecord& alarm, DateValue due) {
  return alarm.Naam + L"\r\n" + FormatDate(due, kShortTimeDatePattern);
}

bool AlarmCheck::IsDue(int slot, DateValue now, const HeldBackRule& heldBack) const {
  const AlarmRecord& alarm = table_[slot];
  return alarm.Exist && alarm.Actief && !alarm.Getoond && alarm.Tijd <= now && !(heldBack && heldBack(slot));
}

bool AlarmCheck::BeginTick(bool monitoring) {
  if (!monitoring || running_) return false;
  running_ = true;
  nextSlot_ = kFirstSlot;
  return true;
}

std::optional<DueAlarm> AlarmCheck::NextToShow(DateValue now, const HeldBackRule& heldBack, CheckChanges& changes) {
  changes.clear();
  for (; nextSlot_ <= kLastSlot; ++nextSlot_) {
    const int slot = nextSlot_;
    if (!IsDue(slot, now, heldBack)) continue;
    if (WasShownHere(slot)) {
      MoveOn(slot, table_[slot].Tijd, now, changes);
      continue;
    }
    ++nextSlot_;
    const AlarmRecord& alarm = table_[slot];
    return DueAlarm{slot, alarm.Naam, alarm.Tijd, AlarmMessageText(alarm, alarm.Tijd)};
  }
  return std::nullopt;
}

bool AlarmCheck::WasShownHere(int slot) const {
  const auto& shown = shownHere_[static_cast<std::size_t>(slot)];
  return shown && shown->naam == table_[slot].Naam && shown->due == table_[slot].Tijd;
}

CheckChanges AlarmCheck::BoxClosed(const DueAlarm& shown, DateValue now) {
  CheckChanges changes;
  const auto index = static_cast<std::size_t>(shown.slot);
  shownHere_[index] = Shown{shown.description, shown.due};
  const AlarmRecord& alarm = table_[shown.slot];
  // A hand-edited mode stays due and is shown at every tick, as before.
  if (alarm.Exist && alarm.Naam == shown.description && alarm.Tijd == shown.due &&
      MoveOn(shown.slot, shown.due, now, changes) == AfterFiring::Unchanged) {
    shownHere_[index].reset();
  }
  return changes;
}

AfterFiring AlarmCheck::MoveOn(int slot, DateValue due, DateValue now, CheckChanges& changes) {
  const AfterFiring result = MoveOnAfterFiring(table_[slot], due, now);
  if (result == AfterFiring::Retired) changes.push_back({CheckChange::Kind::RemoveListRow, slot});
  changes.push_back({CheckChange::Kind::SaveSlot, slot});
  return result;
}
