// SPI_SETSCREENSAVEACTIVE without SPIF_UPDATEINIFILE changes the running session only: the stored
// setting stays, and comes back at the next sign-in at the latest should the pause be killed.
// https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-systemparametersinfow
// The icon: https://learn.microsoft.com/windows/win32/shell/notification-area
#include "pause.h"

#include <algorithm>
#include <string>

#include "error.h"
#include "forms.h"
#include "platform.h"
#include "resource_ids.h"

namespace zolswap {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr const wchar_t* kClass = L"ZolPause";
// Private messages: what another zolswap asks of the running pause, which answers TRUE unless it
// has ended.
constexpr UINT kRestartMessage = WM_APP + 2;  // wParam: the minutes
constexpr UINT kResumeMessage = WM_APP + 3;
constexpr UINT_PTR kTimer = 1;
constexpr Minutes kExtension{30};

// Explorer, started anew, asks every program for its icons again.
UINT TaskbarCreated() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

}  // namespace

Pause::Pause(app::PauseLock& lock, milliseconds duration) : lock_(lock) {
  zol::CheckPausePolicy();
  if (!zol::SessionScreenSaverActive()) throw zol::Error(zol::ErrorKind::NothingToPause, L"");
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  static const bool registered = forms::RegisterWindowClass(kClass, WindowProc);
  (void)registered;
  // A hidden top-level window, not a message-only one: only top-level windows hear that the
  // session ends and that the taskbar is made anew.
  window_.reset(
      CreateWindowExW(0, kClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, this));
  if (!window_) throw zol::Error(zol::ErrorKind::Unexpected, L"", L"pause");
  // Shown as paused before it is: a switch meanwhile leaves the session alone.
  lock_.Publish(window_.get(), true);

  icon_.cbSize = sizeof icon_;
  icon_.hWnd = window_.get();
  icon_.uID = 1;
  icon_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  icon_.uCallbackMessage = kIconMessage;
  icon_.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  icon_.uVersion = NOTIFYICON_VERSION_4;
  zol::SetSessionScreenSaverActive(false);
  Restart(duration);
  if (!ended_) AddIcon();  // a pause of no time has ended already
}

Pause::~Pause() { End(); }

void Pause::Wait() {
  MSG message;
  while (!ended_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

int Pause::FromCommandLine(Minutes duration) {
  app::PauseLock lock;
  for (int tries = 0; tries < 100; ++tries) {
    if (lock.Take(tries ? 50 : 0)) {
      Pause pause(lock, duration);
      pause.Wait();
      return 0;
    }
    if (lock.Ask(kRestartMessage, duration.count())) return 0;
  }
  throw zol::Error(zol::ErrorKind::Unexpected, L"", L"pause: no answer");
}

void Pause::Resume() { app::PauseLock().Ask(kResumeMessage); }

LRESULT CALLBACK Pause::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Pause* pause = zol::WindowOwner<Pause>(hwnd, message, lParam);
  return pause ? pause->OnMessage(hwnd, message, wParam, lParam)
               : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT Pause::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kIconMessage:
      return OnIcon(LOWORD(lParam)), 0;
    case kRestartMessage:
      return !ended_ && (Restart(Minutes(static_cast<int>(wParam))), true);
    case kResumeMessage:
      return !ended_ && (End(), true);
    case WM_CLOSE:
      return End(), 0;
    case WM_ENDSESSION:
      return OnEndSession(wParam), 0;
    case WM_TIMER:
      return Tick(), 0;
    default:
      if (message == TaskbarCreated()) AddIcon();
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

// The user signs out or Windows shuts down: this process ends without another message.
void Pause::OnEndSession(bool ending) {
  if (ending) End();
}

void Pause::AddIcon() {
  Shell_NotifyIconW(NIM_ADD, &icon_);
  Shell_NotifyIconW(NIM_SETVERSION, &icon_);
}

// A click of either button, or the keyboard's choice of the icon, opens the menu. Each click comes
// as the button's own message too, which opens nothing.
void Pause::OnIcon(UINT event) {
  if (event != NIN_SELECT && event != NIN_KEYSELECT && event != WM_CONTEXTMENU) return;
  POINT at;
  GetCursorPos(&at);
  switch (forms::ChooseFromMenu(window_.get(), at, {L"今すぐ再開(&R)", L"30 分延長(&E)"})) {
    case 0:
      return End();
    case 1:
      return Restart(std::chrono::ceil<milliseconds>(end_ - Clock::now()) + kExtension);
  }
}

void Pause::Restart(milliseconds duration) {
  end_ = Clock::now() + std::min<milliseconds>(duration, kLongestPause);
  Tick();
}

// Shows the minutes that are left, and comes again when they change or the pause ends.
void Pause::Tick() {
  const milliseconds left = std::chrono::ceil<milliseconds>(end_ - Clock::now());
  if (left <= milliseconds::zero()) return End();
  const Minutes shown = std::chrono::ceil<Minutes>(left);
  const std::wstring text =
      L"スクリーンセイバー休止中（あと " + std::to_wstring(shown.count()) + L" 分）";
  wcsncpy_s(icon_.szTip, text.c_str(), _TRUNCATE);
  SetWindowTextW(window_.get(), text.c_str());
  Shell_NotifyIconW(NIM_MODIFY, &icon_);
  SetTimer(window_.get(), kTimer, static_cast<UINT>((left - (shown - Minutes(1))).count()),
           nullptr);
}

void Pause::End() {
  if (ended_) return;
  ended_ = true;
  lock_.Publish(nullptr, false);
  // The stored setting, or the state before the pause where nothing is stored.
  zol::SetSessionScreenSaverActive(zol::StoredScreenSaverActive().value_or(true));
  Shell_NotifyIconW(NIM_DELETE, &icon_);
  lock_.Release();
  PostMessageW(window_.get(), WM_NULL, 0, 0);  // Wait sees the end
}

}  // namespace zolswap
