// Copies that sync services leave beside a file changed on two PCs at once,
// and the alerts only such a copy holds.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alarm_table.h"
#include "settings_store.h"

// Whether `fileName` is a conflicted copy of chimewatch.ini as Dropbox,
// Google Drive and Nextcloud ("chimewatch (... conflicted copy ...).ini"),
// OneDrive ("chimewatch-COMPUTERNAME.ini") or Syncthing
// ("chimewatch.sync-conflict-....ini") name it. Case does not matter.
bool IsSyncConflictCopyName(std::wstring_view fileName);

// The name a copy gets once its alerts are taken in: it no longer ends in
// ".ini", so it is never taken in again, and nothing is deleted. A service
// may leave a copy of the same name again later (Google Drive's
// "chimewatch (1).ini"): try 2, 3, ... number the later ones.
std::wstring TakenInName(std::wstring_view fileName, int try_ = 1);

// Whether two alerts are one: the same description, repeat and rule, and the
// same due time or one the other reaches by moving on (a copy from before
// the alert fired on the other PC).
bool IsSameAlert(const AlarmRecord& a, const AlarmRecord& b);

// The alerts of `copy` that `table` does not hold.
std::vector<AlarmRecord> AlertsOnlyIn(const AlarmTable& copy, const AlarmTable& table);

// What the user is told once a copy was taken in.
std::wstring TakenInMessage(std::wstring_view copyName, std::wstring_view keptAs, int takenIn, int notTakenIn);

// Takes in the alerts only a conflicted copy beside the store holds, into
// free slots (never `heldSlot`), saves them, and sets each copy aside.
// Returns what to tell the user, or an empty text. A copy whose alerts could
// not be saved stays as it is, to be taken in at a later try.
std::wstring TakeInConflictCopies(AlarmTable& table, SettingsStore& store, std::optional<int> heldSlot);
