#include <gtest/gtest.h>

#include "text_table.h"
#include "alarm_rule.h"
#include "alarm_store.h"
#include "alert_sound.h"
#include "date_format.h"
#include "date_parse.h"
#include "memory_settings.h"
#include "test_support.h"

namespace {

AlarmRecord Dentist() {
  AlarmRecord alarm;
  alarm.Exist = true;
  alarm.Actief = true;
  alarm.Getoond = false;
  alarm.Naam = L"Dentist";
  alarm.Tijd = At(2000, 2, 29, 8, 5);
  alarm.Repeat = EachMonth;
  alarm.Delete = false;
  return alarm;
}

void Store(MemorySettings& store, const wchar_t* section, const wchar_t* key, const wchar_t* value) {
  store.WriteSetting(kApplicationName, section, key, value);
}

// Stores the Dentist alarm in a section, with one of its values replaced.
void StoreDentist(MemorySettings& store, const wchar_t* section, const wchar_t* key = nullptr,
                  const wchar_t* value = nullptr) {
  MemorySettings scratch;
  AlarmTable table;
  table[7] = Dentist();
  Save(table, scratch, 7);
  for (const auto& write : scratch.Writes()) Store(store, section, write.key.c_str(), write.value.c_str());
  if (key) Store(store, section, key, value);
}

}  // namespace

TEST(Save, WritesTheTenKeysInFieldOrder) {
  MemorySettings store;
  AlarmTable table;
  table[7] = Dentist();
  EXPECT_EQ(Save(table, store, 7), std::nullopt);
  const std::vector<std::pair<std::wstring, std::wstring>> expected = {{L"Exist", L"True"},
                                                                       {L"Actief", L"True"},
                                                                       {L"Getoond", L"False"},
                                                                       {L"Naam", L"Dentist"},
                                                                       {L"Tijd", L"08:05 2000/02/29"},
                                                                       {L"Repeat", L"3"},
                                                                       {L"Delete", L"False"},
                                                                       {L"Rule", L""},
                                                                       {L"Sound", L""},
                                                                       {L"SoundUntilAnswered", L"False"}};
  ASSERT_EQ(store.Writes().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(store.Writes()[i].section, L"7");
    EXPECT_EQ(store.Writes()[i].key, expected[i].first);
    EXPECT_EQ(store.Writes()[i].value, expected[i].second);
  }
}

TEST(Save, NamesSectionsBySlotAndWritesNegativeRepeats) {
  MemorySettings store;
  AlarmTable table;
  table[100].Repeat = -5;
  Save(table, store, 0);
  Save(table, store, 100);
  EXPECT_EQ(store.Writes().front().section, L"0");
  EXPECT_EQ(store.Writes().back().section, L"100");
  EXPECT_EQ(store.Writes()[15].value, L"-5");
  EXPECT_DEATH(Save(table, store, 101), "");
}

TEST(Save, ReportsTheKeyOfAFailedWrite) {
  MemorySettings store;
  store.FailWrites();
  AlarmTable table;
  EXPECT_EQ(Save(table, store, 3), L"Exist");
}

TEST(SaveSlots, WritesEachSlotAsSaveDoesAndNamesTheRefusedOnes) {
  MemorySettings store;
  AlarmTable table;
  table[7] = Dentist();
  table[40] = Dentist();
  const int slots[] = {7, 40};
  EXPECT_TRUE(SaveSlots(table, store, slots).empty());
  MemorySettings one;
  Save(table, one, 7);
  Save(table, one, 40);
  ASSERT_EQ(store.Writes().size(), one.Writes().size());
  for (std::size_t i = 0; i < one.Writes().size(); ++i) {
    EXPECT_EQ(store.Writes()[i].section, one.Writes()[i].section);
    EXPECT_EQ(store.Writes()[i].value, one.Writes()[i].value);
  }
  store.FailWrites();
  const auto refused = SaveSlots(table, store, slots);
  ASSERT_EQ(refused.size(), 2u);
  EXPECT_EQ(refused[1].slot, 40);
  EXPECT_EQ(refused[1].key, L"Exist");
  EXPECT_EQ(refused[1].reason, L"The store refused the write.");
}

TEST(LaadAlarmen, ReadsBackWhatSaveWrote) {
  MemorySettings store;
  AlarmTable saved;
  saved[7] = Dentist();
  saved[7].Naam = L"Zahnarzt \u6b6f\u79d1 " + std::wstring(300, L'x');
  saved[7].Sound = L"D:\\Kl\u00e4nge\\gong.wav";
  saved[7].SoundUntilAnswered = true;
  Save(saved, store, 7);
  AlarmTable loaded;
  EXPECT_TRUE(LaadAlarmen(loaded, store).damaged.empty());
  EXPECT_EQ(loaded[7], saved[7]);
}

TEST(LaadAlarmen, ReadsBackARuleAndLetsAnOlderVersionsModeWin) {
  constexpr std::wstring_view kRule =
      L"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;COUNT=10;DTSTART=08:05 2000/02/28;EXDATE=08:05 2000/03/13";
  MemorySettings store;
  AlarmTable saved;
  saved[7] = Dentist();
  SetRule(saved[7], ReadAlarmRule(kRule).value());
  EXPECT_EQ(saved[7].Rule, kRule);
  EXPECT_EQ(saved[7].Repeat, EachWeek);  // what an older version reads
  saved[8] = saved[7];
  Save(saved, store, 7);
  Save(saved, store, 8);
  Store(store, L"8", L"Repeat", L"0");  // an older version made it Once
  saved[9] = saved[7];
  Save(saved, store, 9);
  saved[9] = Dentist();  // the rule replaced by a mode
  Save(saved, store, 9);
  MemorySettings scratch;  // a store written before rules and sounds
  Save(saved, scratch, 9);
  for (const auto& write : scratch.Writes()) {
    if (write.key != L"Rule" && !write.key.starts_with(L"Sound"))
      Store(store, L"10", write.key.c_str(), write.value.c_str());
  }
  AlarmTable loaded;
  EXPECT_TRUE(LaadAlarmen(loaded, store).damaged.empty());
  EXPECT_EQ(loaded[7], saved[7]);
  EXPECT_EQ(loaded[8].Rule, L"");
  EXPECT_EQ(loaded[8].Repeat, Once);
  EXPECT_EQ(loaded[9], Dentist());
  EXPECT_EQ(loaded[10], Dentist());
}

// 50,000 left-out dates and weekdays: a reader that looked back over what
// it read for each would not end within the test's time.
TEST(AlarmRule, AStoredRuleReadsInOnePassAndWritesBackTheSame) {
  constexpr int kMany = 50000;
  std::wstring text = L"FREQ=WEEKLY;BYDAY=MO";
  for (int i = 0; i < kMany; ++i) text += L",TU";
  text += L";DTSTART=09:00 2026/12/07;EXDATE=09:00 2026/12/08";
  for (int i = 0; i < kMany; ++i) text += L",09:00 2027/01/05";
  const auto rule = ReadAlarmRule(text);
  ASSERT_TRUE(rule);
  EXPECT_EQ(rule->rule.leftOut.size(), kMany + 1u);
  const std::wstring written = AlarmRuleText(*rule);
  const auto again = ReadAlarmRule(written);
  ASSERT_TRUE(again);
  EXPECT_EQ(AlarmRuleText(*again), written);
}

TEST(LaadAlarmen, EmptyStoreLeavesEverySlotFree) {
  MemorySettings store;
  AlarmTable table;
  EXPECT_TRUE(LaadAlarmen(table, store).damaged.empty());
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) EXPECT_FALSE(table[slot].Exist) << slot;
}

TEST(LaadAlarmen, ReadsOnlyExistOfAFreedSlot) {
  MemorySettings store;
  StoreDentist(store, L"7", L"Exist", L"False");
  Store(store, L"7", L"Tijd", L"garbage");  // never read for a free slot
  AlarmTable table;
  table[7].Naam = L"kept";
  EXPECT_TRUE(LaadAlarmen(table, store).damaged.empty());
  EXPECT_FALSE(table[7].Exist);
  EXPECT_EQ(table[7].Naam, L"kept");
}

TEST(LaadAlarmen, ReadsBooleansAsWordsOrNumbers) {
  MemorySettings store;
  Store(store, L"1", L"Exist", L"-1");
  Store(store, L"1", L"Tijd", L"08:05 2000/02/29");
  Store(store, L"1", L"Repeat", L"0");
  Store(store, L"2", L"Exist", L"TRUE");
  Store(store, L"2", L"Tijd", L"08:05 2000/02/29");
  Store(store, L"2", L"Repeat", L" 3");
  Store(store, L"3", L"Exist", L"0");
  AlarmTable table;
  EXPECT_TRUE(LaadAlarmen(table, store).damaged.empty());
  EXPECT_TRUE(table[1].Exist);
  EXPECT_TRUE(table[2].Exist);
  EXPECT_EQ(table[2].Repeat, 3);
  EXPECT_FALSE(table[2].Actief);  // missing keys take their defaults
  EXPECT_EQ(table[2].Naam, L"");
  EXPECT_FALSE(table[3].Exist);
}

TEST(LaadAlarmen, DamagedValueHoldsBackOnlyItsSlot) {
  MemorySettings store;
  StoreDentist(store, L"3", L"Exist", L"yes");
  StoreDentist(store, L"7");
  StoreDentist(store, L"5", L"Tijd", L"");
  StoreDentist(store, L"6", L"Repeat", L"40000");
  StoreDentist(store, L"8", L"Getoond", L"maybe");
  StoreDentist(store, L"9");
  store.PutUnreadable(L"9", L"Naam");
  StoreDentist(store, L"10");
  StoreDentist(store, L"11", L"Rule", L"FREQ=HOURLY;DTSTART=08:05 2000/02/29");
  StoreDentist(store, L"12", L"SoundUntilAnswered", L"loud");
  store.ClearWrites();

  AlarmTable table;
  const LoadReport report = LaadAlarmen(table, store);

  ASSERT_EQ(report.damaged.size(), 7u);
  EXPECT_EQ(report.damaged[0].slot, 3);
  EXPECT_EQ(report.damaged[0].key, L"Exist");
  EXPECT_EQ(report.damaged[0].storedText, L"yes");
  EXPECT_EQ(report.damaged[1].key, L"Tijd");
  EXPECT_EQ(report.damaged[2].key, L"Repeat");
  EXPECT_EQ(report.damaged[3].key, L"Getoond");
  EXPECT_EQ(report.damaged[4].slot, 9);
  EXPECT_EQ(report.damaged[4].storedText, std::nullopt);
  EXPECT_EQ(report.damaged[5].key, L"Rule");
  EXPECT_EQ(report.damaged[6].key, L"SoundUntilAnswered");
  for (int slot : {3, 5, 6, 8, 9, 11, 12}) {
    EXPECT_FALSE(table[slot].Exist) << slot;
    EXPECT_TRUE(table.IsReserved(slot)) << slot;
  }
  EXPECT_TRUE(table[7].Exist);  // the slots around them load as usual
  EXPECT_TRUE(table[10].Exist);
  EXPECT_FALSE(table.IsReserved(10));
  EXPECT_TRUE(store.Writes().empty());  // and nothing is written back

  const std::wstring message = DamagedValuesMessage(report);
  EXPECT_NE(message.find(L"Alert 3, \"Exist\": \"yes\""), std::wstring::npos) << message;
  EXPECT_NE(message.find(L"Alert 5, \"Tijd\": \"\" is not a time"), std::wstring::npos) << message;
  EXPECT_NE(message.find(L"Alert 9, \"Naam\": is not a text value"), std::wstring::npos) << message;
  EXPECT_NE(message.find(L"HOURLY;DTSTART=08:05 2000/02/29\" is not a repeat rule"), std::wstring::npos) << message;
}

// Two programs on one store: each save changes only its own slots, takes in
// the other's, and a new alert never lands on one the other put in a slot
// this program still thinks free.
TEST(SaveChanges, KeepsWhatAnotherProgramStoredMeanwhile) {
  MemorySettings store;
  AlarmTable other;
  other[0] = Dentist();
  Save(other, store, 0);
  AlarmTable mine;
  LaadAlarmen(mine, store);

  other[0].Naam = L"Dentist, moved";
  other[1] = Dentist();
  other[1].Naam = L"Theirs";
  const int theirs[] = {0, 1};
  SaveSlots(other, store, theirs);
  store.ChangeElsewhere();

  mine[1] = Dentist();
  mine[1].Naam = L"Mine";
  const int one[] = {1};
  const SaveReport report = SaveChanges(mine, store, one, 2);  // an editor holds slot 2
  EXPECT_TRUE(report.changedElsewhere);
  EXPECT_TRUE(report.notSaved.empty());
  ASSERT_EQ(report.moved.size(), 1u);
  EXPECT_EQ(report.moved[0].to, 3);
  AlarmTable stored;
  LaadAlarmen(stored, store);
  for (const AlarmTable* table : {&mine, &stored}) {
    EXPECT_EQ((*table)[0].Naam, L"Dentist, moved");
    EXPECT_EQ((*table)[1].Naam, L"Theirs");
    EXPECT_EQ((*table)[3].Naam, L"Mine");
  }

  // An edit of an alert both have is the last one saved.
  mine[1].Naam = L"Theirs, edited here";
  store.ChangeElsewhere();
  EXPECT_TRUE(SaveChanges(mine, store, one).moved.empty());
  LaadAlarmen(stored, store);
  EXPECT_EQ(stored[1].Naam, L"Theirs, edited here");

  // With no slot free in both, the new alert is not saved and nothing of
  // the other program's is overwritten.
  std::vector<int> rest = {2};
  for (int slot = 4; slot <= kLastSlot; ++slot) rest.push_back(slot);
  for (const int slot : rest) other[slot] = Dentist();
  SaveSlots(other, store, rest);
  store.ChangeElsewhere();
  mine[2] = Dentist();
  mine[2].Naam = L"One too many";
  const int two[] = {2};
  const SaveReport full = SaveChanges(mine, store, two);
  ASSERT_EQ(full.notSaved.size(), 1u);
  EXPECT_EQ(full.notSaved[0].reason, Text(TextId::StoreNoFreeSlot));
  LaadAlarmen(stored, store);
  EXPECT_EQ(stored[2].Naam, L"Dentist");
  EXPECT_EQ(mine[2].Naam, L"Dentist");
}

TEST(AlertSound, ReadsEveryStoredTextAndKeepsOnlyLocalWaveFilesFromAnImport) {
  const struct {
    std::wstring_view stored;
    AlertSound sound;
  } kRows[] = {
      {L"", {}},
      {L"  ", {}},
      {L"none", {SoundKind::None, {}}},
      {L"NONE ", {SoundKind::None, {}}},
      {L"C:\\Media\\gong.wav", {SoundKind::File, L"C:\\Media\\gong.wav"}},
      {L"nonesuch.wav", {SoundKind::File, L"nonesuch.wav"}},
  };
  for (const auto& row : kRows) {
    EXPECT_EQ(ReadAlertSound(row.stored), row.sound) << std::wstring(row.stored);
    EXPECT_EQ(ReadAlertSound(StoredSoundText(row.sound)), row.sound);
  }
  EXPECT_TRUE(IsLocalWaveFile(L"C:\\Media\\gong.wav"));
  EXPECT_TRUE(IsLocalWaveFile(L"d:/Sounds/Bell.WAV"));
  for (const std::wstring_view refused : {L"\\\\server\\share\\gong.wav", L"\\\\?\\C:\\gong.wav", L"gong.wav",
                                          L"C:gong.wav", L"C:\\Media\\gong.mp3", L"C:\\a\r\n.wav"}) {
    EXPECT_FALSE(IsLocalWaveFile(refused)) << std::wstring(refused);
  }
}
