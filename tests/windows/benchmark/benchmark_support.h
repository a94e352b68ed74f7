// What the benchmarks share: a clock, medians, and a tray icon of their own.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace benchmark {

inline LARGE_INTEGER Clock() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

inline double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// A Unix path from the command line as Wine's Z: drive shows it.
inline std::wstring WindowsPath(std::wstring path) {
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

// Wine hides its tray, and waits, each time the last icon leaves it: a
// second icon of our own keeps the measured times about the program alone.
class PlaceholderIcon {
 public:
  PlaceholderIcon() {
    data_.cbSize = sizeof data_;
    data_.hWnd = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    data_.uID = 1;
    data_.uFlags = NIF_ICON | NIF_TIP;
    data_.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
    wcscpy_s(data_.szTip, L"benchmark");
    Shell_NotifyIconW(NIM_ADD, &data_);
  }
  ~PlaceholderIcon() {
    Shell_NotifyIconW(NIM_DELETE, &data_);
    DestroyWindow(data_.hWnd);
  }
  PlaceholderIcon(const PlaceholderIcon&) = delete;
  PlaceholderIcon& operator=(const PlaceholderIcon&) = delete;

 private:
  NOTIFYICONDATAW data_ = {};
};

}  // namespace benchmark
