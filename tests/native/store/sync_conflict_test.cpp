#include <gtest/gtest.h>

#include <memory>

#include "alarm_store.h"
#include "memory_settings.h"
#include "sync_conflict.h"
#include "test_support.h"

TEST(SyncConflict, KnowsTheCopiesSyncServicesLeave) {
  const struct {
    const wchar_t* name;
    bool isCopy;
  } rows[] = {
      {L"chimewatch (Ann's conflicted copy 2026-12-08).ini", true},     // Dropbox
      {L"Chimewatch (1).INI", true},                                    // Google Drive
      {L"chimewatch-LAPTOP-7.ini", true},                               // OneDrive
      {L"chimewatch.sync-conflict-20261208-101500-ABCDEFG.ini", true},  // Syncthing
      {L"chimewatch.ini", false},
      {L"chimewatch-.ini", false},
      {L"chimewatch (1).ini.taken-in", false},
      {L"chimewatch.ini.lock", false},
      {L"other (1).ini", false},
      {L"chimewatchx.ini", false},
  };
  for (const auto& row : rows) EXPECT_EQ(IsSyncConflictCopyName(row.name), row.isCopy) << row.name;
  EXPECT_EQ(TakenInName(L"chimewatch (1).ini"), L"chimewatch (1).ini.taken-in");
  EXPECT_EQ(TakenInName(L"chimewatch (1).ini", 2), L"chimewatch (1).ini.2.taken-in");
  EXPECT_FALSE(IsSyncConflictCopyName(TakenInName(L"chimewatch (1).ini", 2)));
}

TEST(SyncConflict, AnAlertMovedOnIsTheSameAlert) {
  const struct {
    const wchar_t* what;
    std::int32_t repeat;  // of both
    DateValue tijd;       // against 1 December 08:00
    const wchar_t* naam;
    bool same;
  } rows[] = {
      {L"as it was", EachDay, At(2026, 12, 1, 8, 0), L"Pills", true},
      {L"moved on a week", EachDay, At(2026, 12, 8, 8, 0), L"Pills", true},
      {L"another time", EachDay, At(2026, 12, 8, 9, 0), L"Pills", false},
      {L"another text", EachDay, At(2026, 12, 1, 8, 0), L"Pill", false},
      {L"a one-time alert never moves", Once, At(2026, 12, 8, 8, 0), L"Pills", false},
  };
  for (const auto& row : rows) {
    const AlarmRecord first = ActiveAlarm(L"Pills", At(2026, 12, 1, 8, 0), row.repeat);
    const AlarmRecord other = ActiveAlarm(row.naam, row.tijd, row.repeat);
    EXPECT_EQ(IsSameAlert(first, other), row.same) << row.what;
    EXPECT_EQ(IsSameAlert(other, first), row.same) << row.what;
  }
  EXPECT_FALSE(IsSameAlert(ActiveAlarm(L"Pills", At(2026, 12, 1, 8, 0), EachDay),
                           ActiveAlarm(L"Pills", At(2026, 12, 8, 8, 0), EachWeek)))
      << "another repeat";
  // A rule alert moved on by its rule; the same times by another rule are another alert.
  const AlarmRecord weekdays =
      RuleAlarm(L"Pills", At(2026, 12, 4, 8, 0), L"FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR;DTSTART=08:00 2026/11/02");
  EXPECT_TRUE(IsSameAlert(weekdays, RuleAlarm(L"Pills", At(2026, 12, 7, 8, 0), weekdays.Rule)));
  EXPECT_FALSE(IsSameAlert(weekdays, RuleAlarm(L"Pills", At(2026, 12, 6, 8, 0), weekdays.Rule)));  // a Sunday
  EXPECT_FALSE(IsSameAlert(
      weekdays, RuleAlarm(L"Pills", At(2026, 12, 7, 8, 0), L"FREQ=WEEKLY;BYDAY=MO,FR;DTSTART=08:00 2026/11/02")));
}

namespace {

// A store with one conflicted copy beside it.
class StoreWithCopy final : public SettingsStore {
 public:
  MemorySettings file;
  MemorySettings copy;
  std::vector<std::wstring> setAside;

  std::optional<std::wstring> ReadSetting(std::wstring_view a, std::wstring_view s, std::wstring_view k,
                                          std::wstring_view d) override {
    return file.ReadSetting(a, s, k, d);
  }
  bool WriteSetting(std::wstring_view a, std::wstring_view s, std::wstring_view k, std::wstring_view v) override {
    return file.WriteSetting(a, s, k, v);
  }
  std::wstring LastError() const override { return file.LastError(); }
  std::wstring Where() const override { return L"chimewatch.ini"; }
  std::vector<ConflictCopy> ConflictCopies() override {
    std::vector<ConflictCopy> copies;
    if (setAside.empty()) copies.push_back({L"chimewatch (1).ini", std::make_unique<MemorySettings>(copy)});
    return copies;
  }
  std::optional<std::wstring> SetCopyAside(const std::wstring& name) override {
    if (heldOpen) return std::nullopt;
    setAside.push_back(name);
    return TakenInName(name);
  }
  bool heldOpen = false;
};

}  // namespace

TEST(SyncConflict, TakesInOnlyWhatTheCopyAloneHoldsThenSetsItAside) {
  StoreWithCopy store;
  AlarmTable table;
  table[0] = ActiveAlarm(L"Pills", At(2026, 12, 8, 8, 0), EachDay);
  Save(table, store, 0);
  AlarmTable copied;
  copied[0] = ActiveAlarm(L"Pills", At(2026, 12, 7, 8, 0), EachDay);  // before it fired on this PC
  copied[1] = ActiveAlarm(L"Call Ann", At(2026, 12, 9, 17, 0), Once);
  Save(copied, store.copy, 0);
  Save(copied, store.copy, 1);

  const std::wstring told = TakeInConflictCopies(table, store, 1);  // an editor holds slot 1
  EXPECT_NE(told.find(L"took in the 1 alert only the copy held"), std::wstring::npos) << told;
  EXPECT_NE(told.find(L"\"chimewatch (1).ini.taken-in\""), std::wstring::npos) << told;
  EXPECT_EQ(store.setAside, std::vector<std::wstring>{L"chimewatch (1).ini"});
  AlarmTable stored;
  LaadAlarmen(stored, store);
  EXPECT_EQ(stored[2], copied[1]);
  EXPECT_EQ(table[2], copied[1]);
  EXPECT_FALSE(stored[1].Exist);
  EXPECT_EQ(TakeInConflictCopies(table, store, 1), L"");  // once only

  // A copy that cannot be renamed is told of while it brings alerts in.
  StoreWithCopy held;
  held.heldOpen = true;
  Save(copied, held.copy, 1);
  AlarmTable mine;
  EXPECT_NE(TakeInConflictCopies(mine, held, std::nullopt).find(L"could not be renamed"), std::wstring::npos);
  EXPECT_EQ(TakeInConflictCopies(mine, held, std::nullopt), L"");

  // A copy whose alerts cannot be saved stays, to be taken in later.
  StoreWithCopy failing;
  Save(copied, failing.copy, 1);
  failing.file.FailWrites();
  AlarmTable empty;
  EXPECT_EQ(TakeInConflictCopies(empty, failing, std::nullopt), L"");
  EXPECT_TRUE(failing.setAside.empty());
  EXPECT_FALSE(empty[0].Exist);
}
