#include "sync_conflict.h"

#include <cwctype>

#include "after_firing.h"
#include "alarm_store.h"
#include "number_text.h"
#include "text_table.h"

namespace {

std::wstring Lowered(std::wstring_view text) {
  std::wstring lowered(text);
  for (wchar_t& c : lowered) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
  return lowered;
}

// The alert moved on until it is due at `until` or later; a year of daily
// moves at most, since a copy is never older than that is worth. A rule
// reaches its first occurrence from a second before `until` in one move.
DateValue MovedOnUntil(AlarmRecord alert, DateValue until) {
  const DateValue justBefore = FromTimeLine(ToTimeLine(until) - 1.0 / 86400.0);
  for (int step = 0; step < 400 && alert.Tijd < until; ++step) {
    if (MoveOnAfterFiring(alert, alert.Tijd, justBefore) != AfterFiring::MovedOn) break;
  }
  return alert.Tijd;
}

}  // namespace

bool IsSyncConflictCopyName(std::wstring_view fileName) {
  const std::wstring name = Lowered(fileName);
  constexpr std::wstring_view kStem = L"chimewatch", kExtension = L".ini";
  if (name.size() <= kStem.size() + kExtension.size() || !name.starts_with(kStem) || !name.ends_with(kExtension)) {
    return false;
  }
  const std::wstring_view middle =
      std::wstring_view(name).substr(kStem.size(), name.size() - kStem.size() - kExtension.size());
  return (middle.starts_with(L" (") && middle.ends_with(L")")) || (middle.size() > 1 && middle.front() == L'-') ||
         middle.starts_with(L".sync-conflict-");
}

std::wstring TakenInName(std::wstring_view fileName, int try_) {
  std::wstring name(fileName);
  if (try_ > 1) name += L"." + WideDecimalText(try_);
  return name + L".taken-in";
}

bool IsSameAlert(const AlarmRecord& a, const AlarmRecord& b) {
  if (a.Naam != b.Naam || a.Repeat != b.Repeat || a.Rule != b.Rule) return false;
  if (a.Tijd == b.Tijd) return true;
  const AlarmRecord& earlier = a.Tijd < b.Tijd ? a : b;
  const AlarmRecord& later = a.Tijd < b.Tijd ? b : a;
  return MovedOnUntil(earlier, later.Tijd) == later.Tijd;
}

std::vector<AlarmRecord> AlertsOnlyIn(const AlarmTable& copy, const AlarmTable& table) {
  std::vector<AlarmRecord> only;
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (!copy[slot].Exist) continue;
    bool held = false;
    for (int other = kFirstSlot; other <= kLastSlot && !held; ++other) {
      held = table[other].Exist && IsSameAlert(copy[slot], table[other]);
    }
    if (!held) only.push_back(copy[slot]);
  }
  return only;
}

std::wstring TakenInMessage(std::wstring_view copyName, std::wstring_view keptAs, int takenIn, int notTakenIn) {
  std::wstring message = Text(TextId::StoreSyncLeft, {copyName});
  message += takenIn == 0 ? Text(TextId::StoreSyncNothingNew)
                          : CountText(TextId::StoreSyncTookIn, takenIn, {WideDecimalText(takenIn)});
  if (notTakenIn > 0) message += CountText(TextId::StoreSyncNoRoom, notTakenIn, {WideDecimalText(notTakenIn)});
  message += keptAs.empty() ? Text(TextId::StoreSyncNotRenamed) : Text(TextId::StoreSyncKeptAs, {keptAs});
  return message;
}

std::wstring TakeInConflictCopies(AlarmTable& table, SettingsStore& store, std::optional<int> heldSlot) {
  std::wstring told;
  for (const SettingsStore::ConflictCopy& copy : store.ConflictCopies()) {
    AlarmTable copied;
    LaadAlarmen(copied, *copy.contents);
    std::vector<int> slots;
    int notTakenIn = 0;
    for (const AlarmRecord& alert : AlertsOnlyIn(copied, table)) {
      const auto free = FindFreeSlot(table, heldSlot);
      if (!free) {
        ++notTakenIn;
        continue;
      }
      table[*free] = alert;
      table.SetStoredAlert(*free, false);
      slots.push_back(*free);
    }
    const SaveReport saved = SaveChanges(table, store, slots, heldSlot);
    if (!saved.notSaved.empty()) {
      for (const SlotNotSaved& refused : saved.notSaved) {
        if (!table.HasStoredAlert(refused.slot)) table[refused.slot].Exist = false;
      }
      continue;
    }
    const std::optional<std::wstring> keptAs = store.SetCopyAside(copy.name);
    // A copy that cannot be renamed (held open) is looked at again at each
    // try; once it holds nothing new, that is not told again and again.
    if (!keptAs && slots.empty() && notTakenIn == 0) continue;
    if (!told.empty()) told += L"\r\n\r\n";
    told += TakenInMessage(copy.name, keptAs.value_or(L""), static_cast<int>(slots.size()), notTakenIn);
  }
  return told;
}
