#include "alarm_store.h"

#include <algorithm>

#include "alarm_rule.h"
#include "date_parse.h"
#include "date_format.h"
#include "number_text.h"
#include "text_convert.h"
#include "text_table.h"

namespace {

// Reads the keys of one existing slot in field order; stops at the first
// value that does not convert and reports it.
class SlotReader {
 public:
  SlotReader(SettingsStore& store, int slot) : store_(store), slot_(slot), section_(WideDecimalText(slot)) {}

  std::optional<DamagedValue> damage;

  std::optional<std::wstring> Text(std::wstring_view key, std::wstring_view defaultText) {
    if (damage) return std::nullopt;
    auto text = store_.ReadSetting(kApplicationName, section_, key, defaultText);
    if (!text) damage = DamagedValue{slot_, std::wstring(key), std::nullopt};
    return text;
  }

  bool Boolean(std::wstring_view key) {
    const auto text = Text(key, L"False");
    if (!text) return false;
    const auto value = ParseBooleanText(*text);
    if (!value) Damaged(key, *text);
    return value.value_or(false);
  }

  std::int32_t Integer(std::wstring_view key) {
    const auto text = Text(key, L"");
    if (!text) return 0;
    const auto number = ParseInteger16(*text);
    if (number.error != IntegerError::None) Damaged(key, *text);
    return number.value;
  }

  // An empty or missing text is no rule. A rule whose nearest mode is no
  // longer Repeat was changed by an older Chimewatch, which knows only the
  // modes: its choice wins.
  std::wstring Rule(std::wstring_view key, std::int32_t repeat) {
    auto text = Text(key, L"");
    if (!text || text->empty()) return {};
    const auto rule = ReadAlarmRule(*text);
    if (!rule) Damaged(key, *text);
    if (!rule || NearestMode(rule->rule) != repeat) return {};
    return std::move(*text);
  }

  DateValue Time(std::wstring_view key) {
    const auto text = Text(key, L"");
    if (!text) return 0.0;
    const auto value = ReadStoredTime(*text);
    if (!value) Damaged(key, *text);
    return value.value_or(0.0);
  }

 private:
  void Damaged(std::wstring_view key, const std::wstring& text) {
    damage = DamagedValue{slot_, std::wstring(key), text};
  }

  SettingsStore& store_;
  int slot_;
  std::wstring section_;
};

std::wstring ProblemWith(const DamagedValue& value) {
  if (!value.storedText) return Text(TextId::StoreNotText);
  if (value.key == L"Tijd") return Text(TextId::StoreNotStoredTime);
  if (value.key == L"Repeat") return Text(TextId::StoreNotSmallNumber);
  if (value.key == L"Rule") return Text(TextId::StoreNotRule);
  return Text(TextId::StoreNotBoolean);
}

// The stored text as a message quotes it: at most 40 characters.
std::wstring Shown(const std::wstring& text) {
  constexpr std::size_t kShown = 40;
  return text.size() <= kShown ? text : text.substr(0, kShown) + L"...";
}

}  // namespace

LoadReport LaadAlarmen(AlarmTable& table, SettingsStore& store) {
  LoadReport report;
  report.where = store.Where();
  report.cannotSave = store.WhyNotSaved();
  report.startNote = store.StartNote();
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    SlotReader reader(store, slot);
    AlarmRecord loaded = table[slot];
    loaded.Exist = reader.Boolean(L"Exist");
    if (loaded.Exist) {
      loaded.Actief = reader.Boolean(L"Actief");
      loaded.Getoond = reader.Boolean(L"Getoond");
      loaded.Naam = reader.Text(L"Naam", L"").value_or(L"");
      loaded.Tijd = reader.Time(L"Tijd");
      loaded.Repeat = reader.Integer(L"Repeat");
      loaded.Delete = reader.Boolean(L"Delete");
      loaded.Rule = reader.Rule(L"Rule", loaded.Repeat);
      // Absent in a store an older Chimewatch wrote: the reminder sound, once.
      loaded.Sound = reader.Text(L"Sound", L"").value_or(L"");
      loaded.SoundUntilAnswered = reader.Boolean(L"SoundUntilAnswered");
    }
    table.Reserve(slot, reader.damage.has_value());
    table.SetStoredAlert(slot, loaded.Exist && !reader.damage);
    if (reader.damage) {
      table[slot].Exist = false;
      report.damaged.push_back(*reader.damage);
    } else if (loaded.Exist) {
      table[slot] = loaded;
    } else {
      table[slot].Exist = false;  // a free slot keeps its other fields
    }
  }
  return report;
}

namespace {

SettingsStore::Section SlotSection(const AlarmTable& table, int slot) {
  const AlarmRecord& alarm = table[slot];
  return {WideDecimalText(slot),
          {
              {L"Exist", BooleanText(alarm.Exist)},
              {L"Actief", BooleanText(alarm.Actief)},
              {L"Getoond", BooleanText(alarm.Getoond)},
              {L"Naam", alarm.Naam},
              {L"Tijd", FormatDate(alarm.Tijd, kStoredTimePattern)},
              {L"Repeat", WideDecimalText(alarm.Repeat)},
              {L"Delete", BooleanText(alarm.Delete)},
              {L"Rule", alarm.Rule},  // written empty too, so that a mode replaces a rule
              {L"Sound", alarm.Sound},
              {L"SoundUntilAnswered", BooleanText(alarm.SoundUntilAnswered)},
          }};
}

}  // namespace

namespace {

bool Contains(std::span<const int> slots, int slot) {
  return std::find(slots.begin(), slots.end(), slot) != slots.end();
}

// Another program changed the store: every slot this save leaves alone
// takes what the store holds now. A new alert whose slot the other program
// filled meanwhile moves to a slot free in both; with none free, it is not
// saved and the other program's alert stays.
void MergeStored(AlarmTable& table, SettingsStore& store, std::vector<int>& slots, std::optional<int> heldSlot,
                 SaveReport& report) {
  AlarmTable stored;
  LaadAlarmen(stored, store);
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (Contains(slots, slot)) continue;
    table[slot] = stored[slot];
    table.Reserve(slot, stored.IsReserved(slot));
    table.SetStoredAlert(slot, stored.HasStoredAlert(slot));
  }
  for (int& slot : slots) {
    const bool taken = stored.HasStoredAlert(slot) || stored.IsReserved(slot);
    if (!table[slot].Exist || table.HasStoredAlert(slot) || !taken) continue;
    const AlarmRecord mine = table[slot];
    table[slot] = stored[slot];
    table.Reserve(slot, stored.IsReserved(slot));
    table.SetStoredAlert(slot, stored.HasStoredAlert(slot));
    const auto free = FindFreeSlot(table, heldSlot, slots);
    if (!free) {
      report.notSaved.push_back({slot, L"Exist", Text(TextId::StoreNoFreeSlot)});
      slot = -1;  // not written: the other program's alert stays
      continue;
    }
    table[*free] = mine;
    report.moved.push_back({slot, *free});
    slot = *free;
  }
  std::erase(slots, -1);
}

}  // namespace

SaveReport SaveChanges(AlarmTable& table, SettingsStore& store, std::span<const int> slots,
                       std::optional<int> heldSlot) {
  SaveReport report;
  std::vector<int> written(slots.begin(), slots.end());
  auto failed = store.Update(kApplicationName, [&](bool changedElsewhere) {
    report.changedElsewhere = changedElsewhere;
    if (changedElsewhere) MergeStored(table, store, written, heldSlot, report);
    std::vector<SettingsStore::Section> sections;
    sections.reserve(written.size());
    for (const int slot : written) sections.push_back(SlotSection(table, slot));
    return sections;
  });
  std::vector<int> refusedSlots;
  for (auto& refused : failed) {
    refusedSlots.push_back(ParseInteger16(refused.section).value);
    report.notSaved.push_back({refusedSlots.back(), std::move(refused.key), std::move(refused.reason)});
  }
  for (const int slot : written) {
    if (!Contains(refusedSlots, slot)) table.SetStoredAlert(slot, table[slot].Exist);
  }
  return report;
}

std::optional<std::wstring> Save(AlarmTable& table, SettingsStore& store, int slot) {
  const int one[] = {slot};
  SaveReport report = SaveChanges(table, store, one);
  if (report.notSaved.empty()) return std::nullopt;
  return std::move(report.notSaved.front().key);
}

std::vector<SlotNotSaved> SaveSlots(AlarmTable& table, SettingsStore& store, std::span<const int> slots) {
  return SaveChanges(table, store, slots).notSaved;
}

std::wstring DamagedValuesMessage(const LoadReport& report) {
  std::wstring message = Text(TextId::StoreDamagedIntro, {report.where});
  for (const DamagedValue& value : report.damaged) {
    const std::wstring slot = WideDecimalText(value.slot);
    message += value.storedText ? Text(TextId::StoreDamagedStoredValue,
                                       {slot, value.key, Shown(*value.storedText), ProblemWith(value)})
                                : Text(TextId::StoreDamagedValue, {slot, value.key, ProblemWith(value)});
  }
  return message;
}

std::wstring LoadProblemsMessage(const LoadReport& report) {
  std::wstring message = report.startNote.value_or(L"");
  if (!report.damaged.empty()) message += (message.empty() ? L"" : L"\r\n\r\n") + DamagedValuesMessage(report);
  if (report.cannotSave) {
    message +=
        (message.empty() ? L"" : L"\r\n\r\n") + Text(TextId::StoreCannotSave, {report.where, *report.cannotSave});
  }
  return message;
}

std::wstring SaveFailedMessage(int slot, std::wstring_view key, std::wstring_view reason) {
  return Text(TextId::StoreSaveFailed, {WideDecimalText(slot), key, reason});
}
