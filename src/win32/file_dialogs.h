// The standard Save As and Open dialogs: the tray menu's export and
// import, and the editor's choice of a sound file.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <optional>
#include <string>

// Save As with "Chimewatch alerts.ics" proposed and an overwrite prompt.
std::optional<std::wstring> ChooseExportFile(HWND owner);

// Open, for *.ics or any file.
std::optional<std::wstring> ChooseImportFile(HWND owner);

// Open, for a *.wav file, starting at `current` when there is one.
std::optional<std::wstring> ChooseSoundFile(HWND owner, const std::wstring& current);

// GetOpenFileNameW, GetSaveFileNameW, or a test's stand-in.
using FileDialogFunction = BOOL(WINAPI*)(OPENFILENAMEW*);
// Shows the dialog; the program's current folder is the same after it as
// before. On Windows the Open dialog moves it to the chosen file's folder
// whatever the flags say, which would keep that folder (a USB stick) in use
// for the rest of the session.
BOOL ShowFileDialogInPlace(FileDialogFunction show, OPENFILENAMEW& dialog);
