#include "test_files.h"

#include <windows.h>

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string OtherCalendar(const std::string& events) {
  return "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Elsewhere//Test//EN\n" + events + "END:VCALENDAR\n";
}

std::string Event(const std::string& summary, const std::string& start, const std::string& more) {
  return "BEGIN:VEVENT\nUID:" + summary + "@elsewhere\nDTSTAMP:20261201T000000Z\nDTSTART" + start +
         "\nSUMMARY:" + summary + "\n" + more + "END:VEVENT\n";
}
