// The standard Save As and Open dialogs of the tray menu's export and import.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// Save As with "Chimewatch alerts.ics" proposed and an overwrite prompt.
std::optional<std::wstring> ChooseExportFile(HWND owner);

// Open, for *.ics or any file.
std::optional<std::wstring> ChooseImportFile(HWND owner);
