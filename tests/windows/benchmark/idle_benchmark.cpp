// idle_benchmark MINIMAL CHIMEWATCH CHIMEWATCH_32BIT [TRIALS [SECONDS]]:
// what Chimewatch costs the machine it sits on all day, against the minimal
// tray program, measured in pairs that alternate which of the two runs
// first: CPU per 1 s tip refresh in the program and in the tray host (Wine's
// explorer.exe) over an idle window of SECONDS, private bytes, working set,
// start to tray icon in time and in the program's CPU, and the size of the
// program. Prints the medians, the
// median ratio of the pairs and its spread; asserts nothing.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "benchmark_support.h"
#include "driver.h"
#include "full_store.h"

namespace {

using benchmark::Clock;
using benchmark::Median;
using benchmark::Milliseconds;

// ---- The Unix side of Wine's processes, read through the Z: drive ----------

std::string ReadWholeFile(const std::wstring& path) { return driver::ReadFileBytes(path).value_or(""); }

std::vector<std::string> SplitAtNul(const std::string& text) {
  std::vector<std::string> parts;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\0', at);
    parts.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return parts;
}

std::optional<std::string> EnvironmentEntry(const std::wstring& procDir, std::string_view name) {
  for (const std::string& entry : SplitAtNul(ReadWholeFile(procDir + L"\\environ"))) {
    if (entry.size() > name.size() && entry.compare(0, name.size(), name) == 0 && entry[name.size()] == '=') {
      return entry.substr(name.size() + 1);
    }
  }
  return std::nullopt;
}

// The program a Wine process runs: the last part of its first argument.
std::string ProgramName(const std::wstring& procDir) {
  const auto arguments = SplitAtNul(ReadWholeFile(procDir + L"\\cmdline"));
  if (arguments.empty()) return {};
  std::string first = arguments[0];
  while (!first.empty() && first.back() == ' ') first.pop_back();
  const std::size_t slash = first.find_last_of("\\/");
  std::string name = slash == std::string::npos ? first : first.substr(slash + 1);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

// Unix pids of the processes of this Wine prefix that run `programName`.
std::vector<unsigned long> UnixPidsOf(std::string_view programName) {
  static const std::optional<std::string> prefix = EnvironmentEntry(L"Z:\\proc\\self", "WINEPREFIX");
  std::vector<unsigned long> pids;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return pids;
  do {
    wchar_t* end = nullptr;
    const unsigned long pid = std::wcstoul(found.cFileName, &end, 10);
    if (pid == 0 || *end != L'\0') continue;
    const std::wstring dir = std::wstring(L"Z:\\proc\\") + found.cFileName;
    if (ProgramName(dir) == programName && EnvironmentEntry(dir, "WINEPREFIX") == prefix) pids.push_back(pid);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return pids;
}

// CPU time of all threads of a Unix process so far, from the first field
// (nanoseconds on the CPU) of each thread's schedstat.
double CpuMilliseconds(unsigned long pid) {
  const std::wstring tasks = L"Z:\\proc\\" + std::to_wstring(pid) + L"\\task\\";
  double total = 0;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((tasks + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    if (found.cFileName[0] == L'.') continue;
    total += std::strtod(ReadWholeFile(tasks + found.cFileName + L"\\schedstat").c_str(), nullptr) / 1e6;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return total;
}

// ---- One run of one program ---------------------------------------------------

struct Subject {
  std::wstring path;
  std::string programName;  // lower case, as the Unix process shows it
  std::wstring windowClass;
  std::wstring tipPrefix;
};

struct Start {
  double toIconMs = 0;
  double cpuMs = 0;  // the program's CPU until its icon shows
};

struct Sample {
  double programCpuMs = 0;  // per second of the idle window
  double hostCpuMs = 0;
  double privateMiB = 0;
  double workingSetMiB = 0;
  Start start;
};

constexpr DWORD kSettleMs = 3000;  // past start-up work before the idle window opens
constexpr int kStartRunsPerTrial = 4;

std::optional<unsigned long> NewPid(const Subject& subject, const std::vector<unsigned long>& before) {
  for (unsigned long pid : UnixPidsOf(subject.programName)) {
    if (std::find(before.begin(), before.end(), pid) == before.end()) return pid;
  }
  return std::nullopt;
}

void Close(const driver::Program& process, const Subject& subject) {
  for (HWND window : driver::TopLevelWindows(process.Id())) {
    if (driver::ClassName(window) == subject.windowClass) PostMessageW(window, WM_CLOSE, 0, 0);
  }
  process.WaitForExit(10000);
}

// Starts a program and waits for its icon: the time and the CPU it took.
std::optional<Start> StartToIcon(const Subject& subject, std::optional<driver::Program>& process,
                                 std::optional<unsigned long>& pid) {
  const auto before = UnixPidsOf(subject.programName);
  const LARGE_INTEGER start = Clock();
  process.emplace(subject.path);
  if (!driver::WaitUntil([&] { return driver::TrayIconPresent(subject.tipPrefix); }, 10000)) return std::nullopt;
  const double toIconMs = Milliseconds(start, Clock());
  pid = NewPid(subject, before);
  if (!pid) return std::nullopt;
  return Start{toIconMs, CpuMilliseconds(*pid)};
}

std::optional<Sample> MeasureIdle(const Subject& subject, unsigned long hostPid, int seconds) {
  Sample sample;
  std::optional<driver::Program> process;
  std::optional<unsigned long> pid;
  const auto start = StartToIcon(subject, process, pid);
  if (!start) return std::nullopt;
  sample.start = *start;
  Sleep(kSettleMs);

  const double program0 = CpuMilliseconds(*pid);
  const double host0 = CpuMilliseconds(hostPid);
  Sleep(static_cast<DWORD>(seconds) * 1000);
  sample.programCpuMs = (CpuMilliseconds(*pid) - program0) / seconds;
  sample.hostCpuMs = (CpuMilliseconds(hostPid) - host0) / seconds;

  PROCESS_MEMORY_COUNTERS counters = {};
  GetProcessMemoryInfo(process->Handle(), &counters, sizeof counters);
  sample.privateMiB = static_cast<double>(counters.PagefileUsage) / (1024.0 * 1024.0);
  sample.workingSetMiB = static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
  Close(*process, subject);
  return sample;
}

// A start alone: Wine's process start makes this figure noisy, and one idle
// run per program and trial gives too few of them.
std::optional<Start> MeasureStart(const Subject& subject) {
  std::optional<driver::Program> process;
  std::optional<unsigned long> pid;
  const auto start = StartToIcon(subject, process, pid);
  if (process) Close(*process, subject);
  return start;
}

// ---- The table ------------------------------------------------------------------

template <typename Record>
std::vector<double> Field(const std::vector<Record>& records, double Record::*field) {
  std::vector<double> values;
  for (const Record& record : records) values.push_back(record.*field);
  return values;
}

// The medians of both, and the median and spread of the pairs' ratios.
void PrintRow(const wchar_t* figure, const wchar_t* unit, const std::vector<double>& minimal,
              const std::vector<double>& chimewatch) {
  std::vector<double> ratios;
  for (std::size_t i = 0; i < minimal.size() && i < chimewatch.size(); ++i) {
    if (minimal[i] > 0) ratios.push_back(chimewatch[i] / minimal[i]);
  }
  if (ratios.empty()) ratios.push_back(0);
  const auto [low, high] = std::minmax_element(ratios.begin(), ratios.end());
  std::wprintf(L"| %-44ls | %8.2f %-3ls | %8.2f %-3ls | %5.2f | %5.2f .. %5.2f |\n", figure, Median(minimal), unit,
               Median(chimewatch), unit, Median(ratios), *low, *high);
}

double FileKiB(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return static_cast<double>(data.nFileSizeLow) / 1024.0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  const Subject minimal = {benchmark::WindowsPath(argv[1]), "minimal_tray.exe", L"MinimalTray", L"Minimal tray"};
  const Subject chimewatch = {benchmark::WindowsPath(argv[2]), "chimewatch.exe", L"ChimewatchMain", L"Chimewatch"};
  const std::wstring chimewatch32 = benchmark::WindowsPath(argv[3]);
  const int trials = argc > 4 ? _wtoi(argv[4]) : 4;
  const int seconds = argc > 5 ? _wtoi(argv[5]) : 60;

  benchmark::PlaceholderIcon placeholder;
  driver::WaitUntil([] { return driver::TrayIconPresent(L"benchmark"); }, 10000);
  const auto hosts = UnixPidsOf("explorer.exe");
  if (hosts.size() != 1) {
    std::wprintf(L"idle benchmark: found %zu tray hosts (explorer.exe) of this prefix, not one\n", hosts.size());
    return 1;
  }
  // Both read the same store: all 101 slots in use, as a user who keeps many
  // alerts has it; with an empty store a start costs Chimewatch less than a
  // user sees.
  driver::DeleteAllSettings();
  benchmark::StoreAllSlots();

  std::vector<Sample> minimalSamples, chimewatchSamples;
  std::vector<Start> minimalStarts, chimewatchStarts;
  // Runs both programs, the first one first, and keeps the pair.
  const auto pair = [&](bool minimalFirst, const auto& measure, auto& minimalOut, auto& chimewatchOut) {
    const auto a = measure(minimalFirst ? minimal : chimewatch);
    const auto b = measure(minimalFirst ? chimewatch : minimal);
    if (!a || !b) return false;
    minimalOut.push_back(minimalFirst ? *a : *b);
    chimewatchOut.push_back(minimalFirst ? *b : *a);
    return true;
  };
  const auto idle = [&](const Subject& subject) { return MeasureIdle(subject, hosts[0], seconds); };
  for (int trial = 0; trial < trials; ++trial) {
    // Alternate the order, so that drift of the machine falls on both alike.
    if (!pair(trial % 2 == 0, idle, minimalSamples, chimewatchSamples)) {
      std::wprintf(L"idle benchmark: trial %d failed (no tray icon or no process found)\n", trial + 1);
      continue;
    }
    minimalStarts.push_back(minimalSamples.back().start);
    chimewatchStarts.push_back(chimewatchSamples.back().start);
    for (int run = 0; run < kStartRunsPerTrial; ++run) {
      pair((trial + run) % 2 == 1, MeasureStart, minimalStarts, chimewatchStarts);
    }
  }
  driver::DeleteAllSettings();
  if (minimalSamples.empty()) return 1;

  std::wprintf(
      L"\nidle cost against the minimal tray program: %zu pairs, %d s idle window each"
      L" (start: %zu pairs); medians\n",
      minimalSamples.size(), seconds, minimalStarts.size());
  std::wprintf(L"| %-44ls | %12ls | %12ls | %5ls | %14ls |\n", L"figure", L"minimal", L"chimewatch", L"ratio",
               L"ratio spread");
  std::wprintf(L"|%ls|\n", std::wstring(104, L'-').c_str());
  const auto row = [&](const wchar_t* figure, const wchar_t* unit, double Sample::*field) {
    PrintRow(figure, unit, Field(minimalSamples, field), Field(chimewatchSamples, field));
  };
  row(L"CPU per 1 s tip refresh, in the program", L"ms", &Sample::programCpuMs);
  row(L"CPU per tip refresh, in the tray host", L"ms", &Sample::hostCpuMs);
  row(L"private bytes", L"MiB", &Sample::privateMiB);
  row(L"working set", L"MiB", &Sample::workingSetMiB);
  const auto startRow = [&](const wchar_t* figure, double Start::*field) {
    PrintRow(figure, L"ms", Field(minimalStarts, field), Field(chimewatchStarts, field));
  };
  startRow(L"start to tray icon", &Start::toIconMs);
  startRow(L"CPU from start to tray icon, in the program", &Start::cpuMs);
  std::wprintf(L"| %-44ls | %8.0f KB  | %4.0f / %3.0f KB |       |                |\n",
               L"chimewatch.exe 32-bit / 64-bit (minimal: 64)", FileKiB(minimal.path), FileKiB(chimewatch32),
               FileKiB(chimewatch.path));
  return 0;
}
