// Where the alerts are kept, chosen once at start: in chimewatch.ini when
// that file lies beside chimewatch.exe (a portable Chimewatch, on a USB
// stick or in a synced folder), else in the registry.
#pragma once

#include <memory>

#include "settings_store.h"

// chimewatch.ini's full path when the program is portable (the file is
// there, or a complete copy a save left that the store restores), else empty.
std::wstring PortableFilePath();

std::unique_ptr<SettingsStore> OpenSettingsStore();
