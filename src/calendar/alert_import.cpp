// ImportAlerts: the file read, each event judged by event_rules, and what
// is kept placed in the lowest free slots and saved one by one.
#include <cmath>
#include <set>
#include <tuple>

#include "alert_calendar.h"
#include "calendar_components.h"
#include "event_rules.h"
#include "number_text.h"
#include "utf8_text.h"
#include "text_table.h"

namespace {

constexpr std::size_t kMaxNamed = 20;
constexpr std::size_t kMaxShownName = 60;
constexpr std::size_t kMaxNamedZones = 5;

// Description, due minute and repeat: what makes two alerts the same.
using AlertKey = std::tuple<std::wstring, long long, std::int32_t>;

AlertKey KeyOf(const AlarmRecord& alert) {
  const double minute = std::floor(ToTimeLine(alert.Tijd) * 1440.0 + 1e-6);
  return {alert.Naam, static_cast<long long>(minute), alert.Repeat};
}

// A name on one line of the summary, cut when long.
std::wstring ShownName(const std::wstring& name) {
  std::wstring cut = name.substr(0, kMaxShownName);
  if (cut.size() < name.size() && !cut.empty() && cut.back() >= 0xD800 && cut.back() <= 0xDBFF) cut.pop_back();
  std::wstring shown;
  for (const wchar_t c : cut) {
    if (c == L'\n') continue;
    shown += c == L'\r' ? L' ' : c;
  }
  return name.size() <= kMaxShownName ? shown : shown + L"...";
}

class Importer {
 public:
  Importer(AlarmTable& table, const ImportContext& context) : table_(table), context_(context) {
    for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
      if (table_[slot].Exist) known_.insert(KeyOf(table_[slot]));
    }
  }

  void Add(const EventOutcome& outcome, ImportResult& result) {
    if (!outcome.alert) {
      LeaveOut(outcome.name, outcome.reason);
      return;
    }
    const AlertKey key = KeyOf(*outcome.alert);
    if (known_.count(key) != 0) {
      ++alreadyThere_;
      return;
    }
    const auto slot = FreeSlot();
    if (!slot) {
      ++didNotFit_;
      return;
    }
    table_[*slot] = *outcome.alert;
    if (context_.saveSlot) {
      if (auto error = context_.saveSlot(*slot)) {
        table_[*slot] = AlarmRecord{};
        failedSlots_.insert(*slot);  // not tried again for the next alert
        ++result.notSaved;
        LeaveOut(outcome.name, Text(TextId::TransferNotSaved, {*error}));
        return;
      }
    }
    known_.insert(key);
    result.newSlots.push_back(*slot);
    ++result.imported;
  }

  std::wstring Summary(const ImportResult& result, std::wstring_view fileName,
                       const std::vector<std::string>& unknownZones) const {
    std::wstring summary = result.imported == 0 ? Text(TextId::TransferImportedNone, {fileName})
                                                : CountText(TextId::TransferImported, result.imported,
                                                            {WideDecimalText(result.imported), fileName});
    if (alreadyThere_ > 0) {
      summary += CountText(TextId::TransferAlreadyThere, alreadyThere_, {WideDecimalText(alreadyThere_)});
    }
    std::vector<std::wstring> parts = named_;
    if (unnamed_ > 0) parts.push_back(CountText(TextId::TransferAndMore, unnamed_, {WideDecimalText(unnamed_)}));
    if (didNotFit_ > 0) {
      parts.push_back(
          CountText(TextId::TransferDidNotFit, didNotFit_, {WideDecimalText(didNotFit_), WideDecimalText(kSlotCount)}));
    }
    std::wstring notImported;
    for (std::size_t i = 0; i < parts.size(); ++i)
      notImported += (i == 0 ? L"" : Text(TextId::TransferListJoin)) + parts[i];
    if (!parts.empty()) summary += Text(TextId::TransferNotImported, {notImported});
    for (std::size_t i = 0; i < unknownZones.size() && i < kMaxNamedZones; ++i) {
      summary += Text(TextId::TransferZoneAsLocal, {ShownName(Utf8ToWide(unknownZones[i]))});
    }
    if (unknownZones.size() > kMaxNamedZones) {
      const auto others = static_cast<std::int64_t>(unknownZones.size() - kMaxNamedZones);
      summary += CountText(TextId::TransferOtherZonesAsLocal, others, {WideDecimalText(others)});
    }
    return summary;
  }

 private:
  void LeaveOut(const std::wstring& name, const std::wstring& reason) {
    if (named_.size() == kMaxNamed) {
      ++unnamed_;
      return;
    }
    named_.push_back(Text(TextId::TransferLeftOutAlert, {ShownName(name), reason}));
  }

  std::optional<int> FreeSlot() const {
    for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
      if (!table_[slot].Exist && !table_.IsReserved(slot) && slot != context_.heldSlot &&
          failedSlots_.count(slot) == 0) {
        return slot;
      }
    }
    return std::nullopt;
  }

  AlarmTable& table_;
  const ImportContext& context_;
  std::set<AlertKey> known_;
  std::set<int> failedSlots_;
  std::vector<std::wstring> named_;  // the first ones left out, with their reasons
  int unnamed_ = 0;
  int alreadyThere_ = 0;
  int didNotFit_ = 0;
};

}  // namespace

CalendarReading ReadCalendar(std::string_view bytes, std::wstring_view fileName, const ImportContext& context) {
  CalendarReading reading;
  const CalendarFile file = ReadCalendarFile(bytes);
  if (file.problem != CalendarProblem::None) {
    reading.status = ImportStatus::NotReadable;
    reading.problem = CalendarFileProblem(file, fileName);
    return reading;
  }
  ZoneResolver zones(file.calendars, context);
  const FileEvents events = CollectEvents(file.calendars);
  reading.events.reserve(events.events.size());
  std::size_t read = 0;
  for (const Component* event : events.events) {
    if (context.cancelled && context.cancelled()) {
      reading.status = ImportStatus::Cancelled;
      reading.events.clear();
      break;
    }
    reading.events.push_back(ReadEvent(*event, events, zones, context));
    ++read;
  }
  reading.unknownZones = zones.UnknownNames();
  reading.steps = read + events.changesRead + zones.RuleSteps();
  return reading;
}

ImportResult PlaceAlerts(const CalendarReading& reading, std::wstring_view fileName, AlarmTable& table,
                         const ImportContext& context) {
  ImportResult result;
  result.status = reading.status;
  if (reading.status != ImportStatus::Done) {
    result.summary = reading.problem;
    return result;
  }
  Importer importer(table, context);
  for (const EventOutcome& outcome : reading.events) importer.Add(outcome, result);
  result.summary = importer.Summary(result, fileName, reading.unknownZones);
  return result;
}

ImportResult ImportAlerts(std::string_view bytes, std::wstring_view fileName, AlarmTable& table,
                          const ImportContext& context) {
  return PlaceAlerts(ReadCalendar(bytes, fileName, context), fileName, table, context);
}
