#include "ini_file_settings.h"

#include <windows.h>

#include "atomic_write.h"
#include "long_path.h"
#include "number_text.h"
#include "scoped_handles.h"
#include "system_error_text.h"
#include "whole_file.h"

namespace {

// Far more than 101 alerts take; reading is linear, so this loads in well
// under a second.
constexpr unsigned long long kMaxFileBytes = 16ull << 20;

constexpr wchar_t kHeader[] =
    L"; Chimewatch keeps its alerts in this file, because it lies beside chimewatch.exe.\r\n"
    L"; Without it, Chimewatch keeps them in the registry. Chimewatch rewrites this file\r\n"
    L"; whole at each change; edit it only while Chimewatch is not running.\r\n";

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".\\") : path.substr(0, slash + 1);
}

// Why nothing can be written beside `path`, or nothing when it can.
std::optional<std::wstring> WhyNotWritable(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    return std::wstring(L"the file is read-only.");
  }
  const std::wstring probe = NameBeside(path, L"." + WideDecimalText(GetCurrentProcessId()) + L".probe.tmp");
  const ScopedFileHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!file.Get()) return SystemErrorText(GetLastError());
  return std::nullopt;
}

bool HasOtherNames(const std::wstring& path) {
  const ScopedFileHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
  BY_HANDLE_FILE_INFORMATION information{};
  return file.Get() && GetFileInformationByHandle(file.Get(), &information) && information.nNumberOfLinks > 1;
}

// The file is emptied first, then written from its start: a write cut short
// leaves a prefix of `bytes`, which IsWriteCutShort tells from a file
// written whole or changed since. (SetEndOfFile at the start rather than
// TRUNCATE_EXISTING, which Windows refuses on a hidden file.) A write that
// fails once begun puts `previous` back, through the same handle, so that
// no other program's change comes in between.
bool WriteFrom(HANDLE file, std::string_view bytes) {
  DWORD written = 0;
  return SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 && SetEndOfFile(file) &&
         WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size() && FlushFileBuffers(file);
}

std::optional<std::wstring> WriteOver(const std::wstring& path, std::string_view bytes,
                                      std::optional<std::string_view> previous = std::nullopt) {
  const ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.Get()) return SystemErrorText(GetLastError());
  if (WriteFrom(file.Get(), bytes)) return std::nullopt;
  const DWORD error = GetLastError();
  if (previous) WriteFrom(file.Get(), *previous);
  return SystemErrorText(error);
}

// Windows' ANSI code page, as Notepad reads a file that is not UTF-8; a byte
// with no character there is refused, not replaced.
std::optional<std::wstring> AnsiText(std::string_view bytes) {
  if (bytes.empty()) return std::wstring();
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(), length) != length) {
    return std::nullopt;
  }
  return text;
}

// Each copy a save left beside `path` (chimewatch.ini.*.tmp), by its full name.
template <typename Visit>
void ForEachCopyBeside(const std::wstring& path, Visit visit) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(NameBeside(path, L".*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    visit(NameBeside(FolderOf(path), found.cFileName), found);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

std::wstring JournalOf(const std::wstring& path) { return NameBeside(path, L".new"); }

// The file written over in place, so that its other names see the change:
// the new contents first go whole to the journal, which stays while the
// file is written. A write that fails (the file held open by an editor, an
// indexer or antivirus) leaves the file as it was and no journal: a save
// said to have failed never comes back.
std::optional<std::wstring> WriteInPlace(const std::wstring& path, std::string_view bytes, std::string_view previous) {
  if (auto problem = WriteFileAtomically(JournalOf(path), bytes)) return problem;
  auto problem = WriteOver(path, bytes, previous);
  DeleteFileW(JournalOf(path).c_str());
  return problem;
}

// A journal is applied only to the file its write left cut short by a kill
// or a power cut. A file as it was before that write (killed before it
// began, as a replacing save killed before its rename is not taken either),
// the journal's own contents, or a file changed since (by hand, by another
// program) is left as it is: the journal holds nothing that file lacks.
// A journal of an older Chimewatch reads the same way.
void FinishInterruptedWrite(const std::wstring& path) {
  const FileBytes journal = ReadWholeFile(JournalOf(path), kMaxFileBytes);
  if (!journal.read) return;
  const FileBytes file = ReadWholeFile(path, kMaxFileBytes);
  if (file.read && IsWriteCutShort(file.bytes, journal.bytes) && WriteOver(path, journal.bytes)) return;
  DeleteFileW(JournalOf(path).c_str());
}

}  // namespace

IniFileSettings::IniFileSettings(std::wstring path, std::optional<std::wstring> startNote)
    : path_(std::move(path)), startNote_(std::move(startNote)) {
  FinishInterruptedWrite(path_);
  const FileBytes file = ReadWholeFile(path_, kMaxFileBytes);
  if (!file.read) {
    notSaved_ = file.tooLarge ? std::wstring(L"the file is larger than 16 MiB.")
                              : L"the file could not be read: " + SystemErrorText(file.error);
    return;
  }
  IniDocument::Reading reading = IniDocument::Parse(file.bytes, AnsiText);
  document_ = std::move(reading.document);
  if (reading.notText) {
    notSaved_ = std::wstring(
        L"the file is not text in UTF-16, UTF-8 or the ANSI code page; save it in one of them "
        L"while Chimewatch is not running.");
    return;
  }
  if (reading.notUnderstoodLine != 0) {
    notSaved_ = L"line " + WideDecimalText(static_cast<std::int64_t>(reading.notUnderstoodLine)) +
                L" of the file is not understood; correct or remove it while Chimewatch is not running.";
    return;
  }
  notSaved_ = WhyNotWritable(path_);
}

std::optional<std::wstring> IniFileSettings::ReadSetting(std::wstring_view, std::wstring_view section,
                                                         std::wstring_view key, std::wstring_view defaultText) {
  const auto found = document_.Find(section, key);
  return found ? *found : std::optional(std::wstring(defaultText));
}

bool IniFileSettings::WriteSetting(std::wstring_view application, std::wstring_view section, std::wstring_view key,
                                   std::wstring_view value) {
  const KeyText one[] = {{key, std::wstring(value)}};
  return !WriteSection(application, section, one);
}

std::optional<std::wstring> IniFileSettings::WriteSection(std::wstring_view, std::wstring_view section,
                                                          std::span<const KeyText> values) {
  IniDocument changed = document_;
  for (const auto& [key, text] : values) changed.Set(section, key, text);
  if (Store(changed) || values.empty()) return std::nullopt;
  return std::wstring(values.front().first);
}

std::vector<SettingsStore::SectionNotWritten> IniFileSettings::WriteSections(std::wstring_view,
                                                                             std::span<const Section> sections) {
  IniDocument changed = document_;
  for (const Section& section : sections) {
    for (const auto& [key, text] : section.values) changed.Set(section.name, key, text);
  }
  std::vector<SectionNotWritten> notWritten;
  if (sections.empty() || Store(changed)) return notWritten;
  // One file: all of it or none.
  for (const Section& section : sections) {
    notWritten.push_back(
        {section.name, section.values.empty() ? L"" : std::wstring(section.values.front().first), lastError_});
  }
  return notWritten;
}

bool IniFileSettings::Store(const IniDocument& changed) {
  if (notSaved_) {
    lastError_ = *notSaved_;
    return false;
  }
  const std::string bytes = changed.Bytes(kHeader, kIniTrailer);
  const auto problem = HasOtherNames(path_) ? WriteInPlace(path_, bytes, document_.Bytes(kHeader, kIniTrailer))
                                            : WriteFileAtomically(path_, bytes);
  if (problem) {
    lastError_ = *problem;
    return false;
  }
  document_ = changed;
  RemoveLeftoverTemporaries();
  return true;
}

// A save ended by a kill leaves its new file behind under a name of its own.
void IniFileSettings::RemoveLeftoverTemporaries() const {
  ForEachCopyBeside(path_, [](const std::wstring& copy, const WIN32_FIND_DATAW&) { DeleteFileW(copy.c_str()); });
}

std::wstring NewestCompleteCopy(const std::wstring& path) {
  std::wstring newest;
  FILETIME newestTime{};
  ForEachCopyBeside(path, [&](const std::wstring& copy, const WIN32_FIND_DATAW& found) {
    const FileBytes bytes = ReadWholeFile(copy, kMaxFileBytes);
    if (bytes.read && IniDocument::EndsWithTrailer(bytes.bytes, kIniTrailer) &&
        (newest.empty() || CompareFileTime(&found.ftLastWriteTime, &newestTime) > 0)) {
      newest = copy;
      newestTime = found.ftLastWriteTime;
    }
  });
  return newest;
}

std::optional<std::wstring> RestoreFromCompleteCopy(const std::wstring& path) {
  const std::wstring newest = NewestCompleteCopy(path);
  if (newest.empty() || !MoveFileExW(newest.c_str(), LongPathForm(path).c_str(), MOVEFILE_WRITE_THROUGH)) {
    return std::nullopt;
  }
  return L"chimewatch.ini was missing, as a save cut short by a power cut or a removed stick leaves it. "
         L"Chimewatch restored it from " +
         newest.substr(newest.find_last_of(L'\\') + 1) + L", the complete copy that save had written.";
}
