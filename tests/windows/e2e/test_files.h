// Files the end-to-end tests hand to the program: written byte for byte,
// and calendars as another program writes them.
#pragma once

#include <string>

std::wstring Quoted(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);

// A calendar as another program writes it: LF line ends, UTC and zone times.
std::string OtherCalendar(const std::string& events);
std::string Event(const std::string& summary, const std::string& start, const std::string& more = {});
