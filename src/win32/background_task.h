// One piece of slow work (reading or writing a file) on a thread of its
// own, so that the window thread goes on with the tray tip and the alarm
// check meanwhile. The window learns that the work is done from a posted
// message, and takes the result here. The work must touch nothing the
// window thread uses.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

template <typename Result>
class BackgroundTask {
 public:
  BackgroundTask() = default;
  ~BackgroundTask() { Take(); }
  BackgroundTask(const BackgroundTask&) = delete;
  BackgroundTask& operator=(const BackgroundTask&) = delete;

  bool Busy() const { return thread_ != nullptr; }

  // Starts `work`; posts `done` to `window` when it has ended. False when
  // work is under way, or no thread could start.
  bool Start(std::function<Result()> work, HWND window, UINT done) {
    if (thread_ != nullptr) return false;
    work_ = std::move(work);
    window_ = window;
    done_ = done;
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    return thread_ != nullptr;
  }

  // Waits for work under way, if any, and returns its result.
  Result Take() {
    if (thread_ != nullptr) {
      WaitForSingleObject(thread_, INFINITE);
      CloseHandle(thread_);
      thread_ = nullptr;
    }
    return std::move(result_);
  }

 private:
  static DWORD WINAPI Run(void* self) {
    auto& task = *static_cast<BackgroundTask*>(self);
    task.result_ = task.work_();
    PostMessageW(task.window_, task.done_, 0, 0);
    return 0;
  }

  HANDLE thread_ = nullptr;
  std::function<Result()> work_;
  HWND window_ = nullptr;
  UINT done_ = 0;
  Result result_{};
};
