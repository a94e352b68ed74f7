#include "file_dialogs.h"
#include "text_table.h"

#include <string>

namespace {

// Pairs of texts, each ended by a NUL, the list by a second one (the
// string's own).
std::wstring ExportFilter() { return Text(TextId::TransferExportFilter) + std::wstring(L"\0*.ics\0", 7); }
std::wstring ImportFilter() {
  return ExportFilter() + Text(TextId::TransferAllFilesFilter) + std::wstring(L"\0*.*\0", 5);
}
constexpr DWORD kPathCapacity = 32768;

OPENFILENAMEW DialogSettings(HWND owner, std::wstring& path, const wchar_t* filter, DWORD flags,
                             const wchar_t* extension = L"ics") {
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kPathCapacity;
  dialog.lpstrDefExt = extension;
  // Asks to keep the current folder, which only Save As heeds.
  dialog.Flags = flags | OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  return dialog;
}

std::wstring CurrentFolder() {
  std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
  folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  return folder;
}

// The dialogs' library is loaded when a dialog first opens, not at every
// start: most runs never open one, and it brings the printer libraries.
BOOL ShowFileDialog(const char* name, OPENFILENAMEW& dialog) {
  // One of Windows' known DLLs: it always comes from the system folder.
  static HMODULE library = LoadLibraryW(L"comdlg32.dll");
  if (library == nullptr) return FALSE;
  const auto show = reinterpret_cast<FileDialogFunction>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  return show != nullptr && ShowFileDialogInPlace(show, dialog);
}

std::optional<std::wstring> Chosen(bool accepted, std::wstring& path) {
  if (!accepted) return std::nullopt;
  path.resize(path.find(L'\0'));
  return path;
}

}  // namespace

std::optional<std::wstring> ChooseExportFile(HWND owner) {
  std::wstring path(kPathCapacity, L'\0');
  const std::wstring name = Text(TextId::TransferExportFileName);
  path.replace(0, name.size(), name);
  const std::wstring filter = ExportFilter();
  OPENFILENAMEW dialog = DialogSettings(owner, path, filter.c_str(), OFN_OVERWRITEPROMPT);
  return Chosen(ShowFileDialog("GetSaveFileNameW", dialog) != FALSE, path);
}

std::optional<std::wstring> ChooseImportFile(HWND owner) {
  std::wstring path(kPathCapacity, L'\0');
  const std::wstring filter = ImportFilter();
  OPENFILENAMEW dialog = DialogSettings(owner, path, filter.c_str(), OFN_FILEMUSTEXIST);
  return Chosen(ShowFileDialog("GetOpenFileNameW", dialog) != FALSE, path);
}

std::optional<std::wstring> ChooseSoundFile(HWND owner, const std::wstring& current) {
  std::wstring path(kPathCapacity, L'\0');
  if (current.size() < kPathCapacity) path.replace(0, current.size(), current);
  const std::wstring filter = Text(TextId::SoundFileFilter) + std::wstring(L"\0*.wav\0", 7);
  OPENFILENAMEW dialog = DialogSettings(owner, path, filter.c_str(), OFN_FILEMUSTEXIST, L"wav");
  return Chosen(ShowFileDialog("GetOpenFileNameW", dialog) != FALSE, path);
}

BOOL ShowFileDialogInPlace(FileDialogFunction show, OPENFILENAMEW& dialog) {
  const std::wstring folder = CurrentFolder();
  const BOOL accepted = show(&dialog);
  if (!folder.empty()) SetCurrentDirectoryW(folder.c_str());
  return accepted;
}
