// The component tree of an iCalendar file (BEGIN/END nesting), or the
// reason it has none.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "content_lines.h"

struct Component {
  std::string name;  // upper case, e.g. "VEVENT"
  int beginLine = 0;
  std::vector<ContentLine> properties;  // unreadable lines stay here, marked
  std::vector<Component> children;

  // The first property of that name, or null.
  const ContentLine* Find(std::string_view propertyName) const;
  // The first unreadable line, 0 when there is none.
  int FirstUnreadableLine() const;
};

enum class CalendarProblem {
  None,
  TooLarge,      // over kMaxCalendarBytes
  TooManyLines,  // over kMaxContentLines
  NotICalendar,  // does not begin with BEGIN:VCALENDAR
  Broken         // BEGIN and END do not match; `problemLine` and `detail` say where
};

struct CalendarFile {
  CalendarProblem problem = CalendarProblem::None;
  int problemLine = 0;
  std::wstring detail;               // e.g. "line 57 ends a VEVENT that was not begun"
  std::vector<Component> calendars;  // the VCALENDARs
};

CalendarFile ReadCalendarFile(std::string_view bytes);

// Why a file is not readable, for the user: "%1 is not an iCalendar file."
// with `fileName` for %1.
std::wstring CalendarFileProblem(const CalendarFile& file, std::wstring_view fileName);
