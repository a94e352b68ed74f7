// The store the start benchmarks read: every slot in use.
#pragma once

#include <string>

#include "driver.h"

namespace benchmark {

// All 101 slots in use, as a user who keeps many alerts has them.
inline void StoreAllSlots() {
  for (int slot = 0; slot <= 100; ++slot) {
    const std::wstring section = std::to_wstring(slot);
    driver::WriteSettingText(section, L"Exist", L"True");
    driver::WriteSettingText(section, L"Actief", L"True");
    driver::WriteSettingText(section, L"Getoond", L"False");
    driver::WriteSettingText(section, L"Naam", L"Alert " + section);
    driver::WriteSettingText(section, L"Tijd", L"08:05 2099/02/28");
    driver::WriteSettingText(section, L"Repeat", L"1");
    driver::WriteSettingText(section, L"Delete", L"False");
  }
}

}  // namespace benchmark
