#include "ini_file_settings.h"

#include <windows.h>

#include "atomic_write.h"
#include "long_path.h"
#include "number_text.h"
#include "scoped_handles.h"
#include "sync_conflict.h"
#include "system_error_text.h"
#include "whole_file.h"
#include "text_table.h"

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
    return Text(TextId::StoreFileReadOnly);
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

// Keeps other Chimewatch programs, on this PC or on others sharing the
// folder, from saving while this one reads, changes and writes the file: a
// byte-range lock on a file of its own beside it, which Windows keeps on a
// network share too and gives up when the process ends, even when killed.
// The lock file itself stays; it holds nothing.
constexpr DWORD kLockWaitMs = 5000;
constexpr DWORD kSettleMs = 200;

class SaveLock {
 public:
  // A save takes the lock alone, waiting up to kLockWaitMs for it; a look
  // at the file takes it shared with other looks, and only when it is free
  // now, so that a save elsewhere never meets the file open.
  enum class Use { Save, Look };

  explicit SaveLock(const std::wstring& path, Use use = Use::Save)
      : file_(CreateFileW(NameBeside(path, L".lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_HIDDEN, nullptr)) {
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (use == Use::Save ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    const ULONGLONG giveUp = GetTickCount64() + (use == Use::Save ? kLockWaitMs : 0);
    while (file_.Get()) {
      OVERLAPPED whole{};
      if (LockFileEx(file_.Get(), flags, 0, 1, 0, &whole)) {
        locked_ = true;
        return;
      }
      if (GetLastError() != ERROR_LOCK_VIOLATION) return;
      if (GetTickCount64() >= giveUp) {
        heldElsewhere_ = true;
        return;
      }
      Sleep(50);
    }
  }
  // Unlocked before the handle closes: Windows frees a lock left to the
  // close only when it gets to it, and another PC's save may wait for that.
  ~SaveLock() {
    OVERLAPPED whole{};
    if (locked_) UnlockFileEx(file_.Get(), 0, 1, 0, &whole);
  }
  SaveLock(const SaveLock&) = delete;
  SaveLock& operator=(const SaveLock&) = delete;

  // Only another program's lock keeps a save back. Where no lock file can
  // be made, the file cannot be written either, and the save fails with
  // that reason; a folder whose file system has no byte-range locks (some
  // network drives) is written without, as before there was a lock.
  bool HeldElsewhere() const { return heldElsewhere_; }

 private:
  ScopedFileHandle file_;
  bool locked_ = false;
  bool heldElsewhere_ = false;
};

// A file without the trailer may be one being written in place (by hand,
// or by a sync service that does): it is taken only once it holds still.
FileBytes ReadSettled(const std::wstring& path) {
  FileBytes file = ReadWholeFile(path, kMaxFileBytes);
  if (!file.read || IniDocument::EndsWithTrailer(file.bytes, kIniTrailer)) return file;
  Sleep(kSettleMs);
  if (ReadWholeFile(path, kMaxFileBytes).bytes != file.bytes) file.read = false;
  return file;
}

// A key's text in `document`, or `defaultText` when it is not there.
std::optional<std::wstring> ReadFrom(const IniDocument& document, std::wstring_view section, std::wstring_view key,
                                     std::wstring_view defaultText) {
  const auto found = document.Find(section, key);
  return found ? *found : std::optional(std::wstring(defaultText));
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
// A journal of an older Chimewatch reads the same way. Under the save lock:
// a journal whose program still writes is that program's, and while
// another holds the lock, or the file cannot be read, it is left alone.
void FinishInterruptedWrite(const std::wstring& path) {
  if (GetFileAttributesW(JournalOf(path).c_str()) == INVALID_FILE_ATTRIBUTES) return;
  const SaveLock lock(path);
  if (lock.HeldElsewhere()) return;
  const FileBytes journal = ReadWholeFile(JournalOf(path), kMaxFileBytes);
  if (!journal.read) return;
  const FileBytes file = ReadWholeFile(path, kMaxFileBytes);
  if (!file.read) return;
  if (IsWriteCutShort(file.bytes, journal.bytes) && WriteOver(path, journal.bytes)) return;
  DeleteFileW(JournalOf(path).c_str());
}

}  // namespace

IniFileSettings::IniFileSettings(std::wstring path, std::optional<std::wstring> startNote)
    : path_(std::move(path)), startNote_(std::move(startNote)) {
  FinishInterruptedWrite(path_);
  stamp_ = CurrentStamp();
  FileBytes file = ReadWholeFile(path_, kMaxFileBytes);
  if (!file.read) {
    notSaved_ =
        file.tooLarge ? Text(TextId::StoreFileTooLarge) : Text(TextId::StoreFileNotRead, {SystemErrorText(file.error)});
    return;
  }
  Take(std::move(file.bytes));
}

void IniFileSettings::Take(std::string bytes) {
  IniDocument::Reading reading = IniDocument::Parse(bytes, AnsiText);
  bytes_ = std::move(bytes);
  if (reading.notText) {
    notSaved_ = Text(TextId::StoreFileNotText);
  } else if (reading.notUnderstoodLine != 0) {
    notSaved_ =
        Text(TextId::StoreLineNotUnderstood, {WideDecimalText(static_cast<std::int64_t>(reading.notUnderstoodLine))});
  } else {
    notSaved_ = WhyNotWritable(path_);
  }
  // A file not understood keeps nothing but what could be read: a later
  // save would lose the rest. It is taken as far as it goes, never written.
  document_ = std::move(reading.document);
}

IniFileSettings::Stamp IniFileSettings::CurrentStamp() const {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(LongPathForm(path_).c_str(), GetFileExInfoStandard, &data)) return {};
  return {(static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
          (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
              data.ftLastWriteTime.dwLowDateTime};
}

bool IniFileSettings::ReadAgainIfChanged() {
  // The stamp first: the lock is taken only for a file that changed.
  const Stamp now = CurrentStamp();
  if (now == Stamp{} || now == stamp_) return false;
  const SaveLock look(path_, SaveLock::Use::Look);
  return !look.HeldElsewhere() && ReadAgain(false);
}

// A file missing or unreadable for a moment (a sync service replacing it)
// keeps what was read: nothing is taken for deleted. Size and time tell a
// change cheaply, but not always (FAT keeps times to 2 s): a save compares
// the bytes.
bool IniFileSettings::ReadAgain(bool evenWithTheSameStamp) {
  const Stamp now = CurrentStamp();
  if (now == Stamp{} || (now == stamp_ && !evenWithTheSameStamp)) return false;
  FileBytes file = ReadSettled(path_);
  if (!file.read) return false;
  stamp_ = now;
  if (file.bytes == bytes_) return false;
  Take(std::move(file.bytes));
  return true;
}

std::optional<std::wstring> IniFileSettings::ReadSetting(std::wstring_view, std::wstring_view section,
                                                         std::wstring_view key, std::wstring_view defaultText) {
  return ReadFrom(document_, section, key, defaultText);
}

bool IniFileSettings::WriteSetting(std::wstring_view application, std::wstring_view section, std::wstring_view key,
                                   std::wstring_view value) {
  const KeyText one[] = {{key, std::wstring(value)}};
  return !WriteSection(application, section, one);
}

std::optional<std::wstring> IniFileSettings::WriteSection(std::wstring_view application, std::wstring_view section,
                                                          std::span<const KeyText> values) {
  const Section one[] = {{std::wstring(section), {values.begin(), values.end()}}};
  auto notWritten = WriteSections(application, one);
  if (notWritten.empty()) return std::nullopt;
  return std::move(notWritten.front().key);
}

std::vector<SettingsStore::SectionNotWritten> IniFileSettings::WriteSections(std::wstring_view application,
                                                                             std::span<const Section> sections) {
  return Update(application, [&](bool) { return std::vector<Section>(sections.begin(), sections.end()); });
}

std::vector<SettingsStore::SectionNotWritten> IniFileSettings::Update(std::wstring_view, const Change& change) {
  const SaveLock lock(path_);
  const std::vector<Section> sections = change(!lock.HeldElsewhere() && ReadAgain(true));
  if (sections.empty()) return {};
  IniDocument changed = document_;
  for (const Section& section : sections) {
    for (const auto& [key, text] : section.values) changed.Set(section.name, key, text);
  }
  if (lock.HeldElsewhere()) {
    lastError_ = Text(TextId::StoreLocked, {WideDecimalText(kLockWaitMs / 1000)});
  } else if (Store(changed)) {
    return {};
  }
  // One file: all of it or none.
  std::vector<SectionNotWritten> notWritten;
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
  bytes_ = bytes;
  stamp_ = CurrentStamp();
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
  return Text(TextId::StoreRestored, {newest.substr(newest.find_last_of(L'\\') + 1)});
}

namespace {

// A conflicted copy, read as a store that is never written.
class ConflictCopySettings final : public SettingsStore {
 public:
  explicit ConflictCopySettings(IniDocument document) : document_(std::move(document)) {}
  std::optional<std::wstring> ReadSetting(std::wstring_view, std::wstring_view section, std::wstring_view key,
                                          std::wstring_view defaultText) override {
    return ReadFrom(document_, section, key, defaultText);
  }
  bool WriteSetting(std::wstring_view, std::wstring_view, std::wstring_view, std::wstring_view) override {
    return false;
  }
  std::wstring LastError() const override { return Text(TextId::StoreConflictNeverWritten); }
  std::wstring Where() const override { return Text(TextId::StoreConflictCopy); }

 private:
  IniDocument document_;
};

}  // namespace

std::vector<SettingsStore::ConflictCopy> IniFileSettings::ConflictCopies() {
  std::vector<ConflictCopy> copies;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(NameBeside(FolderOf(path_), L"chimewatch*.ini").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return copies;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsSyncConflictCopyName(found.cFileName)) continue;
    const FileBytes file = ReadSettled(NameBeside(FolderOf(path_), found.cFileName));
    if (!file.read) continue;
    IniDocument::Reading reading = IniDocument::Parse(file.bytes, AnsiText);
    copies.push_back({found.cFileName, std::make_unique<ConflictCopySettings>(std::move(reading.document))});
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return copies;
}

// Without MOVEFILE_REPLACE_EXISTING a rename onto a name in use fails (with
// ERROR_ALREADY_EXISTS): a copy set aside before is never overwritten.
std::optional<std::wstring> IniFileSettings::SetCopyAside(const std::wstring& name) {
  for (int try_ = 1; try_ < 100; ++try_) {
    const std::wstring keptAs = TakenInName(name, try_);
    if (MoveFileExW(NameBeside(FolderOf(path_), name).c_str(), NameBeside(FolderOf(path_), keptAs).c_str(), 0)) {
      return keptAs;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  return std::nullopt;
}
