#include "alert_box.h"

#include <algorithm>

#include "dialog_window.h"
#include "dpi.h"
#include "scoped_handles.h"
#include "sound_player.h"
#include "text_table.h"

namespace {

constexpr UINT_PTR kSoundLimitTimer = 1;
constexpr UINT kSoundLimitMs = 10 * 60 * 1000;
constexpr int kTextId = 0xFFFF;  // a message box's text has this ID too

// Sizes at 96 DPI, as Windows lays out a message box.
constexpr int kMargin = 12;
constexpr int kGap = 10;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;
constexpr int kTextMaxWidth = 420;

class AlertBox {
 public:
  AlertBox(const std::wstring& text, const SoundToPlay& sound) : text_(text), sound_(sound) {}

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    AlertBox* box = DialogObject<AlertBox>(hwnd, message, lParam);
    if (!box) return FALSE;
    if (message == WM_INITDIALOG) box->hwnd_ = hwnd;
    return box->HandleMessage(message, wParam);
  }

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam) {
    switch (message) {
      case WM_INITDIALOG: Form_Load(); return TRUE;  // the focus goes to OK
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(hwnd_, IDOK);
        return TRUE;
      case WM_TIMER:
        if (wParam == kSoundLimitTimer) SoundLimitReached();
        return TRUE;
      case WM_DESTROY: StopAlertSound(); return FALSE;
      default: return FALSE;
    }
  }

  void Form_Load() {
    const int dpi = WindowDpi(hwnd_);
    const auto scaled = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
    DisableDialogDpiScaling(hwnd_);
    LOGFONTW messageFont = MessageFontForDpi(dpi);
    font_.Reset(CreateFontIndirectW(&messageFont));
    // The system's shared icon, at its size, as a message box shows it.
    HICON picture = LoadIconW(nullptr, IDI_INFORMATION);
    const int iconSize = GetSystemMetrics(SM_CXICON);
    const SIZE text = TextSize(scaled(kTextMaxWidth));
    const int contentHeight = std::max(iconSize, static_cast<int>(text.cy));
    const int textLeft = scaled(kMargin) + iconSize + scaled(kGap);
    const int width = std::max(textLeft + static_cast<int>(text.cx), scaled(kButtonWidth)) + scaled(kMargin);
    const int buttonTop = scaled(kMargin) + contentHeight + scaled(kMargin);
    const int height = buttonTop + scaled(kButtonHeight) + scaled(kMargin);

    HWND icon = Control(L"Static", L"", SS_ICON, -1, {scaled(kMargin), scaled(kMargin), iconSize, iconSize});
    SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(picture), 0);
    Control(L"Static", text_.c_str(), SS_LEFT | SS_NOPREFIX, kTextId,
            {textLeft, scaled(kMargin) + (contentHeight - text.cy) / 2, text.cx, text.cy});
    Control(L"Button", Text(TextId::EditorOK).c_str(), BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK,
            {width - scaled(kMargin) - scaled(kButtonWidth), buttonTop, scaled(kButtonWidth), scaled(kButtonHeight)});
    Centre(width, height, dpi);
    PlayAlertSound(sound_);
    if (sound_.untilAnswered) SetTimer(hwnd_, kSoundLimitTimer, kSoundLimitMs, nullptr);
  }

  // The text's size in the message font, wrapped at `maxWidth`.
  SIZE TextSize(int maxWidth) const {
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, font_.Get());
    RECT bounds = {0, 0, maxWidth, 0};
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &bounds,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
  }

  struct Place {
    int x, y, width, height;
  };
  HWND Control(const wchar_t* windowClass, const wchar_t* text, DWORD style, int id, Place at) const {
    HWND control = CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, at.x, at.y, at.width, at.height,
                                   hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE)), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    return control;
  }

  // On the work area of the primary monitor, as a message box without a
  // visible owner is.
  void Centre(int clientWidth, int clientHeight, int dpi) const {
    RECT frame = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectForDpi(frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                           static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(hwnd_, HWND_TOPMOST, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOACTIVATE);
  }

  void SoundLimitReached() {
    KillTimer(hwnd_, kSoundLimitTimer);
    StopAlertSound();
  }

  const std::wstring& text_;
  const SoundToPlay sound_;
  HWND hwnd_ = nullptr;
  ScopedHFONT font_;
};

}  // namespace

bool ShowAlertBox(HWND owner, const std::wstring& text, const std::wstring& title, const SoundToPlay& sound) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
  const auto dialogTemplate = EmptyDialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                                                  WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, L"", title);
  AlertBox box(text, sound);
  // -1 when the dialog could not be made; 0 when its owner went first.
  return DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), owner,
                                 AlertBox::DialogProc, reinterpret_cast<LPARAM>(&box)) != -1;
}
