// Feeds arbitrary bytes to the reader of chimewatch.ini, as a file from
// another PC, a sync service or a hand editor may hold them, in every
// encoding it reads, and as a conflicted copy whose alerts are taken in.
// What the reader understands, the writer writes so that it reads back to
// the same file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "alarm_store.h"
#include "ini_text.h"
#include "sync_conflict.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// A stand-in for Windows' ANSI code page: Latin-1, with one byte that has
// no character, as 1252 has five.
std::optional<std::wstring> Latin1(std::string_view bytes) {
  std::wstring text;
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) == 0x81) return std::nullopt;
    text += static_cast<wchar_t>(static_cast<unsigned char>(c));
  }
  return text;
}

constexpr wchar_t kHeader[] = L"; header\r\n";
constexpr wchar_t kTrailer[] = L"\r\n; trailer\r\n";

// A document read as a store, as a conflicted copy is.
class DocumentSettings final : public SettingsStore {
 public:
  explicit DocumentSettings(const IniDocument& document) : document_(document) {}
  std::optional<std::wstring> ReadSetting(std::wstring_view, std::wstring_view section, std::wstring_view key,
                                          std::wstring_view defaultText) override {
    const auto found = document_.Find(section, key);
    return found ? *found : std::optional(std::wstring(defaultText));
  }
  bool WriteSetting(std::wstring_view, std::wstring_view, std::wstring_view, std::wstring_view) override {
    return false;
  }
  std::wstring LastError() const override { return L"never written"; }
  std::wstring Where() const override { return L"a copy"; }

 private:
  const IniDocument& document_;
};

void CheckRoundTrip(const IniDocument& document) {
  const std::string written = document.Bytes(kHeader, kTrailer);
  Check(IniDocument::EndsWithTrailer(written, kTrailer));
  const IniDocument::Reading again = IniDocument::Parse(written, Latin1);
  Check(!again.notText && again.notUnderstoodLine == 0);
  Check(again.document.Bytes(kHeader, kTrailer) == written);
  Check(!IsWriteCutShort(written, written));
  Check(IsWriteCutShort(std::string_view(written).substr(0, written.size() / 2), written));
}

void CheckConflictCopy(const IniDocument& document) {
  DocumentSettings copy(document);
  AlarmTable table;
  (void)LaadAlarmen(table, copy);
  // Every alert of a copy is one the copy holds.
  Check(AlertsOnlyIn(table, table).empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const IniDocument::Reading reading = IniDocument::Parse(bytes, Latin1);
  if (reading.notText) return 0;
  if (reading.notUnderstoodLine == 0) CheckRoundTrip(reading.document);
  CheckConflictCopy(reading.document);
  return 0;
}
