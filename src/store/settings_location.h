// Where the alerts are kept, chosen once at start: in chimewatch.ini when
// that file lies beside chimewatch.exe (a portable Chimewatch, on a USB
// stick or in a synced folder), else in the registry.
#pragma once

#include <memory>

#include "settings_store.h"

std::unique_ptr<SettingsStore> OpenSettingsStore();
