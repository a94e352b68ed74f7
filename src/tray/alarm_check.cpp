#include "alarm_check.h"

#include "after_firing.h"
#include "date_format.h"
#include "number_text.h"
#include "text_table.h"

std::wstring AlarmMessageText(const AlarmRecord& alarm, DateValue due, int times) {
  std::wstring text = alarm.Naam + L"\r\n" + FormatDate(due, kShortTimeDatePattern);
  if (times > 1) {
    const TextId line = times < kMissedCountLimit ? TextId::AlarmDueTimes : TextId::AlarmDueManyTimes;
    text += L"\r\n\r\n" + CountText(line, times, {WideDecimalText(times)});
  }
  return text;
}

bool AlarmCheck::IsDue(int slot, DateValue now, const HeldBackRule& heldBack) const {
  const AlarmRecord& alarm = table_[slot];
  return alarm.Exist && alarm.Actief && !alarm.Getoond && alarm.Tijd <= now && !(heldBack && heldBack(slot));
}

std::size_t AlarmCheck::DueCount(DateValue now) const {
  std::size_t due = 0;
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) due += IsDue(slot, now, nullptr) ? 1u : 0u;
  return due;
}

bool AlarmCheck::BeginTick(bool monitoring) {
  if (!monitoring || running_) return false;
  running_ = true;
  lookedAt_.fill(false);
  return true;
}

std::optional<int> AlarmCheck::EarliestDue(DateValue now, const HeldBackRule& heldBack) const {
  std::optional<int> earliest;
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (lookedAt_[static_cast<std::size_t>(slot)] || !IsDue(slot, now, heldBack)) continue;
    if (!earliest || table_[slot].Tijd < table_[*earliest].Tijd) earliest = slot;
  }
  return earliest;
}

std::optional<DueAlarm> AlarmCheck::NextToShow(DateValue now, const HeldBackRule& heldBack, CheckChanges& changes) {
  changes.clear();
  while (const auto slot = EarliestDue(now, heldBack)) {
    lookedAt_[static_cast<std::size_t>(*slot)] = true;
    if (WasShownHere(*slot)) {
      MoveOn(*slot, table_[*slot].Tijd, now, changes);
      continue;
    }
    const AlarmRecord& alarm = table_[*slot];
    const int times = TimesDueUntil(alarm, alarm.Tijd, now);
    return DueAlarm{.slot = *slot,
                    .description = alarm.Naam,
                    .due = alarm.Tijd,
                    .text = AlarmMessageText(alarm, alarm.Tijd, times),
                    .sound = alarm.Sound,
                    .soundUntilAnswered = alarm.SoundUntilAnswered};
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
