#include "calendar_components.h"

#include "alert_calendar.h"
#include "number_text.h"
#include "text_table.h"
#include "utf8_text.h"

namespace {

// Real calendars nest three deep (VCALENDAR, VEVENT, VALARM); deeper is
// hostile and would cost stack.
constexpr std::size_t kMaxDepth = 8;

// A component name as the message shows it: hostile files may put anything there.
std::wstring ShortName(const std::string& name) {
  constexpr std::size_t kMaxShown = 40;
  return Utf8ToWide(name.size() <= kMaxShown ? name : name.substr(0, kMaxShown) + "...");
}

CalendarFile Broken(int line, std::wstring detail) {
  CalendarFile file;
  file.problem = CalendarProblem::Broken;
  file.problemLine = line;
  file.detail = std::move(detail);
  return file;
}

bool IsBegin(const ContentLine& line) { return line.readable && line.name == "BEGIN"; }
bool IsEnd(const ContentLine& line) { return line.readable && line.name == "END"; }

}  // namespace

const ContentLine* Component::Find(std::string_view propertyName) const {
  for (const ContentLine& property : properties) {
    if (property.readable && property.name == propertyName) return &property;
  }
  return nullptr;
}

int Component::FirstUnreadableLine() const {
  for (const ContentLine& property : properties) {
    if (!property.readable) return property.lineNumber;
  }
  return 0;
}

namespace {

// Builds the tree line by line. The components being read are open,
// outermost first; finished ones move into their parent, finished calendars
// into the file.
class TreeBuilder {
 public:
  // False once the file is found not to be a calendar or broken.
  bool Take(ContentLine&& line) {
    if (first_) {
      first_ = false;
      if (!IsBegin(line) || ToUpperAscii(line.value) != "VCALENDAR") return Fail(CalendarProblem::NotICalendar);
    }
    if (IsBegin(line)) return Begin(line);
    if (IsEnd(line)) return End(line);
    // Lines between calendars are left alone: some programs add a trailer.
    if (!open_.empty()) open_.back().properties.push_back(std::move(line));
    return true;
  }

  CalendarFile Finish(LinesRead read) {
    if (read == LinesRead::TooMany) return Problem(CalendarProblem::TooManyLines);
    if (file_.problem != CalendarProblem::None) return std::move(file_);
    if (first_) return Problem(CalendarProblem::NotICalendar);
    if (!open_.empty()) {
      const Component& unfinished = open_.back();
      return Broken(unfinished.beginLine, Text(TextId::CalendarBrokenNotEnded,
                                               {ShortName(unfinished.name), WideDecimalText(unfinished.beginLine)}));
    }
    return std::move(file_);
  }

 private:
  bool Begin(const ContentLine& line) {
    const std::string name = ToUpperAscii(line.value);
    if (open_.empty() && name != "VCALENDAR") {
      file_ = Broken(line.lineNumber,
                     Text(TextId::CalendarBrokenOutside, {WideDecimalText(line.lineNumber), ShortName(name)}));
      return false;
    }
    if (open_.size() >= kMaxDepth) {
      file_ = Broken(line.lineNumber, Text(TextId::CalendarBrokenTooDeep, {WideDecimalText(line.lineNumber)}));
      return false;
    }
    Component component;
    component.name = name;
    component.beginLine = line.lineNumber;
    open_.push_back(std::move(component));
    return true;
  }

  bool End(const ContentLine& line) {
    const std::string name = ToUpperAscii(line.value);
    if (open_.empty() || open_.back().name != name) {
      file_ = Broken(line.lineNumber,
                     Text(TextId::CalendarBrokenNotBegun, {WideDecimalText(line.lineNumber), ShortName(name)}));
      return false;
    }
    Component done = std::move(open_.back());
    open_.pop_back();
    (open_.empty() ? file_.calendars : open_.back().children).push_back(std::move(done));
    return true;
  }

  bool Fail(CalendarProblem problem) {
    file_ = Problem(problem);
    return false;
  }

  static CalendarFile Problem(CalendarProblem problem) {
    CalendarFile file;
    file.problem = problem;
    return file;
  }

  CalendarFile file_;
  std::vector<Component> open_;
  bool first_ = true;
};

}  // namespace

CalendarFile ReadCalendarFile(std::string_view bytes) {
  if (bytes.size() > kMaxCalendarBytes) {
    CalendarFile file;
    file.problem = CalendarProblem::TooLarge;
    return file;
  }
  TreeBuilder builder;
  const LinesRead read =
      ForEachContentLine(bytes, [&builder](ContentLine&& line) { return builder.Take(std::move(line)); });
  return builder.Finish(read);
}

std::wstring CalendarFileProblem(const CalendarFile& file, std::wstring_view fileName) {
  const std::wstring name(fileName);
  switch (file.problem) {
    case CalendarProblem::TooLarge: return Text(TextId::TransferCalendarTooLarge, {name});
    case CalendarProblem::TooManyLines:
      return Text(TextId::TransferCalendarTooManyLines, {name, WideDecimalText(kMaxContentLines)});
    case CalendarProblem::NotICalendar: return Text(TextId::TransferNotICalendar, {name});
    default: return Text(TextId::TransferCalendarBroken, {name, file.detail});
  }
}
