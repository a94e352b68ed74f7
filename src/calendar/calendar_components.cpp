#include "calendar_components.h"

#include "alert_calendar.h"

namespace {

// Real calendars nest three deep (VCALENDAR, VEVENT, VALARM); deeper is
// hostile and would cost stack.
constexpr std::size_t kMaxDepth = 8;

std::string LineText(int line) { return "line " + std::to_string(line); }

// A component name as the message shows it: hostile files may put anything there.
std::string ShortName(const std::string& name) {
  constexpr std::size_t kMaxShown = 40;
  return name.size() <= kMaxShown ? name : name.substr(0, kMaxShown) + "...";
}

CalendarFile Broken(int line, std::string detail) {
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

CalendarFile ReadCalendarFile(std::string_view bytes) {
  CalendarFile file;
  if (bytes.size() > kMaxCalendarBytes) {
    file.problem = CalendarProblem::TooLarge;
    return file;
  }
  ContentLines content = ReadContentLines(bytes);
  if (content.tooManyLines) {
    file.problem = CalendarProblem::TooManyLines;
    return file;
  }
  std::vector<ContentLine>& lines = content.lines;
  if (lines.empty() || !IsBegin(lines.front()) || ToUpperAscii(lines.front().value) != "VCALENDAR") {
    file.problem = CalendarProblem::NotICalendar;
    return file;
  }
  // The components being read, outermost first; finished ones move into
  // their parent, finished calendars into the file.
  std::vector<Component> open;
  for (ContentLine& line : lines) {
    if (IsBegin(line)) {
      const std::string name = ToUpperAscii(line.value);
      if (open.empty() && name != "VCALENDAR") {
        return Broken(line.lineNumber,
                      LineText(line.lineNumber) + " begins a " + ShortName(name) + " outside a VCALENDAR");
      }
      if (open.size() >= kMaxDepth) {
        return Broken(line.lineNumber, LineText(line.lineNumber) + " nests components too deeply");
      }
      Component component;
      component.name = name;
      component.beginLine = line.lineNumber;
      open.push_back(std::move(component));
    } else if (IsEnd(line)) {
      const std::string name = ToUpperAscii(line.value);
      if (open.empty() || open.back().name != name) {
        return Broken(line.lineNumber,
                      LineText(line.lineNumber) + " ends a " + ShortName(name) + " that was not begun");
      }
      Component done = std::move(open.back());
      open.pop_back();
      if (open.empty()) {
        file.calendars.push_back(std::move(done));
      } else {
        open.back().children.push_back(std::move(done));
      }
    } else if (!open.empty()) {
      open.back().properties.push_back(std::move(line));
    }
    // Lines between calendars are left alone: some programs add a trailer.
  }
  if (!open.empty()) {
    const Component& unfinished = open.back();
    return Broken(unfinished.beginLine, "the " + ShortName(unfinished.name) + " begun on " +
                                            LineText(unfinished.beginLine) + " does not end");
  }
  return file;
}
