// Loading the alarm table from the settings store and saving single slots.
// Section "7" holds slot 7 with the keys Exist, Actief, Getoond, Naam, Tijd,
// Repeat and Delete, all texts, and Rule, a repeat rule (alarm_rule.h) or
// empty, which older versions do not read.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "alarm_table.h"
#include "settings_store.h"

// A stored value that could not be read.
struct DamagedValue {
  int slot = 0;
  std::wstring key;
  std::optional<std::wstring> storedText;  // nullopt: not a text value at all
};

struct LoadReport {
  std::vector<DamagedValue> damaged;
  std::wstring where;                      // the store's place, for the messages
  std::optional<std::wstring> cannotSave;  // why no change will be kept, told once
  std::optional<std::wstring> startNote;   // what the store mended at start
};

// Fills every slot from the store. A section that holds a value that cannot
// be converted does not stop the load: its slot stays free but reserved, the
// section is left as it is, and the report names the slot, key and text.
LoadReport LaadAlarmen(AlarmTable& table, SettingsStore& store);

struct SlotNotSaved {
  int slot = 0;
  std::wstring key;
  std::wstring reason;
};

struct SlotMove {
  int from = 0;
  int to = 0;
};
struct SaveReport {
  std::vector<SlotNotSaved> notSaved;
  // New alerts that found their slot filled by another program meanwhile.
  std::vector<SlotMove> moved;
  // The table took in what other programs changed in the store.
  bool changedElsewhere = false;
};

// Writes the eight keys of each slot, in field order, in one write of the
// store. Only these slots change in the store: when another program changed
// it meanwhile, the table first takes in its other slots as stored now, and
// a new alert (one in a slot the store had free) never overwrites one the
// other program put there: it moves to a free slot, never `heldSlot` (the
// one an open editor has chosen).
SaveReport SaveChanges(AlarmTable& table, SettingsStore& store, std::span<const int> slots,
                       std::optional<int> heldSlot = std::nullopt);

// SaveChanges for one slot: the key whose write failed, or nullopt.
std::optional<std::wstring> Save(AlarmTable& table, SettingsStore& store, int slot);
// SaveChanges, telling only the slots not saved.
std::vector<SlotNotSaved> SaveSlots(AlarmTable& table, SettingsStore& store, std::span<const int> slots);

// The one message that tells the user which stored values were not read.
std::wstring DamagedValuesMessage(const LoadReport& report);

// What the user is told after the load: what the store mended, the damaged
// values and why changes cannot be kept, if any; empty when all is well.
std::wstring LoadProblemsMessage(const LoadReport& report);

// The message for a failed Save.
std::wstring SaveFailedMessage(int slot, std::wstring_view key, std::wstring_view reason);
