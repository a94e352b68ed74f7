#include <gtest/gtest.h>
#include <windows.h>

#include "alarm_store.h"
#include "registry_settings.h"

namespace {

const wchar_t kRoot[] = L"Software\\Chimewatch";

class RegistrySettingsTest : public testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kRoot); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kRoot); }

  // Reads a value straight from the registry, with its type.
  static std::pair<DWORD, std::wstring> RawValue(const wchar_t* section, const wchar_t* name) {
    const std::wstring path = std::wstring(kRoot) + L"\\" + section;
    wchar_t buffer[256] = {};
    DWORD type = 0;
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY, &type, buffer, &size) != ERROR_SUCCESS) {
      return {REG_NONE, L"<missing>"};
    }
    return {type, buffer};
  }

  static void PutRaw(const wchar_t* section, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    const std::wstring path = std::wstring(kRoot) + L"\\" + section;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }

  RegistrySettings store;
};

AlarmRecord Dentist() {
  AlarmRecord alarm;
  alarm.Exist = true;
  alarm.Actief = true;
  alarm.Naam = L"Dentist";
  alarm.Tijd = MakeDate(2000, 2, 29) + MakeTime(8, 5);
  alarm.Repeat = EachMonth;
  return alarm;
}

}  // namespace

TEST_F(RegistrySettingsTest, SavesTheDentistAsSevenTextValuesAndLoadsItBack) {
  AlarmTable table;
  table[7] = Dentist();
  ASSERT_EQ(Save(table, store, 7), std::nullopt);

  const std::pair<const wchar_t*, const wchar_t*> expected[] = {
      {L"Exist", L"True"},   {L"Actief", L"True"},           {L"Getoond", L"False"},
      {L"Naam", L"Dentist"}, {L"Tijd", L"08:05 2000/02/29"}, {L"Repeat", L"3"},
      {L"Delete", L"False"}};
  for (const auto& [name, text] : expected) {
    EXPECT_EQ(RawValue(L"7", name), (std::pair<DWORD, std::wstring>{REG_SZ, text})) << name;
  }

  AlarmTable loaded;
  EXPECT_TRUE(LaadAlarmen(loaded, store).damaged.empty());
  EXPECT_EQ(loaded[7], table[7]);
}

TEST_F(RegistrySettingsTest, EmptyStoreLoadsEverySlotFree) {
  AlarmTable table;
  EXPECT_TRUE(LaadAlarmen(table, store).damaged.empty());
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) EXPECT_FALSE(table[slot].Exist) << slot;
}

TEST_F(RegistrySettingsTest, KeepsUnicodeDescriptionsIntact) {
  AlarmTable table;
  table[0] = Dentist();
  table[0].Naam = L"\u0417\u0443\u0431\u043d\u043e\u0439 \u6b6f\u79d1 \U0001F9B7 " + std::wstring(300, L'z');
  ASSERT_EQ(Save(table, store, 0), std::nullopt);
  AlarmTable loaded;
  LaadAlarmen(loaded, store);
  EXPECT_EQ(loaded[0].Naam, table[0].Naam);
}

TEST_F(RegistrySettingsTest, ValueOfAnotherTypeIsReportedNotGuessed) {
  const DWORD number = 1;
  PutRaw(L"4", L"Exist", REG_DWORD, &number, sizeof number);
  EXPECT_EQ(store.ReadSetting(kApplicationName, L"4", L"Exist", L"False"), std::nullopt);
  EXPECT_EQ(store.ReadSetting(kApplicationName, L"4", L"Naam", L"none"), L"none");
  EXPECT_EQ(store.ReadSetting(kApplicationName, L"5", L"Naam", L"none"), L"none");
}

TEST_F(RegistrySettingsTest, ReadsAValueStoredWithoutItsNul) {
  const wchar_t text[] = {L'T', L'r', L'u', L'e'};
  PutRaw(L"4", L"Exist", REG_SZ, text, sizeof text);
  EXPECT_EQ(store.ReadSetting(kApplicationName, L"4", L"Exist", L"False"), L"True");
}
