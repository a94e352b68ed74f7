#include "driver.h"

#include <chrono>

namespace driver {

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    Sleep(20);
  }
}

ULONGLONG LocalTicksNow() {
  FILETIME utc;
  GetSystemTimeAsFileTime(&utc);
  FILETIME local;
  FileTimeToLocalFileTime(&utc, &local);
  return ULARGE_INTEGER{{local.dwLowDateTime, local.dwHighDateTime}}.QuadPart;
}

std::wstring WindowsPath(std::wstring path) {
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

Program::Program(const std::wstring& exePath, const std::wstring& arguments, const std::wstring& workingDir,
                 HANDLE standardOutput) {
  std::wstring commandLine = L"\"" + exePath + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (standardOutput) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = standardOutput;
  }
  if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, standardOutput != nullptr, 0, nullptr,
                      workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &info_)) {
    info_ = {};
    return;
  }
  CloseHandle(info_.hThread);
  info_.hThread = nullptr;
}

Program::~Program() {
  Terminate();
  if (info_.hProcess) CloseHandle(info_.hProcess);
}

bool Program::Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

std::optional<DWORD> Program::WaitForExit(int timeoutMs) const {
  if (!info_.hProcess) return std::nullopt;
  if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(info_.hProcess, &code)) return std::nullopt;
  return code;
}

void Program::Terminate() {
  if (!Running()) return;
  TerminateProcess(info_.hProcess, 1);
  WaitForSingleObject(info_.hProcess, 5000);
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

ProgramRun RunProgram(const std::wstring& exePath, const std::wstring& arguments, int timeoutMs,
                      const std::wstring& workingDir) {
  wchar_t folder[MAX_PATH + 1];
  wchar_t path[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, folder);
  GetTempFileNameW(folder, L"out", 0, path);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE output = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY, nullptr);
  ProgramRun run;
  {
    Program program(exePath, arguments, workingDir, output);
    run.exitCode = program.WaitForExit(timeoutMs);
  }
  CloseHandle(output);
  run.output = ReadFileBytes(path).value_or("");
  DeleteFileW(path);
  // A program may write a new file as UTF-16 with a byte order mark.
  if (run.output.starts_with("\xFF\xFE")) {
    run.marked = true;
    const std::wstring_view text(reinterpret_cast<const wchar_t*>(run.output.data() + 2), (run.output.size() - 2) / 2);
    std::string utf8(text.size() * 3, '\0');
    utf8.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                             utf8.data(), static_cast<int>(utf8.size()), nullptr,
                                                             nullptr)));
    run.output = utf8;
  }
  return run;
}

}  // namespace driver
