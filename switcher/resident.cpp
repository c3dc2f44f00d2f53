// SPI_SETSCREENSAVEACTIVE without SPIF_UPDATEINIFILE changes the running session only: the stored
// setting stays, and comes back at the next sign-in at the latest should the pause be killed.
// https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-systemparametersinfow
// The icon: https://learn.microsoft.com/windows/win32/shell/notification-area
#include "resident.h"

#include <algorithm>
#include <functional>
#include <string>

#include "entry.h"
#include "platform.h"
#include "resource_ids.h"
#include "switcher.h"

namespace zolswap {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr const wchar_t* kClass = L"ZolIcon";
// Private messages: what another zolswap asks of the running icon. A pause and a resume are
// answered TRUE unless the icon has ended; a pause alone hands its pause over to a resident icon
// with the milliseconds that are left, and ends.
constexpr UINT kPauseMessage = WM_APP + 2;  // wParam: the minutes
constexpr UINT kResumeMessage = WM_APP + 3;
constexpr UINT kHandOverMessage = WM_APP + 4;
constexpr UINT_PTR kTimer = 1;
constexpr Minutes kExtension{30};
// How long a command line waits for the running icon to answer or to end, a hung one included.
constexpr std::chrono::seconds kPatience{10};

// The commands of the menus; a wait is its minutes above kWait.
enum Command : UINT {
  kFavourite = 1,
  kAlternate,
  kNone,
  kPause30,
  kPause60,
  kPause120,
  kResume,
  kExtend,
  kLock,
  kPanel,
  kExit,
  kWait = 100,
};
constexpr int kWaits[] = {1, 3, 5, 10, 15, 30, 60};  // minutes

// Explorer, started anew, asks every program for its icons again.
UINT TaskbarCreated() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

// The screen saver that Windows names now, as it would be written after "SCRNSAVE.EXE=": the NT
// family's registry value, the 9x family's system.ini entry, which the settings file locates.
std::wstring NamedNow(const zol::Path& settingsFile) {
  if (zol::IsNtFamily()) return zol::WindowsScreenSaver();
  app::ProgramSettings settings(settingsFile, zol::SettingsForm::QuickSwitcher);
  settings.Load();
  return zol::ReadCurrentEntry(settings.SystemIni()).value_or(L"");
}

void AddItem(HMENU menu, UINT id, const std::wstring& text, bool greyed, bool checked = false) {
  AppendMenuW(menu, MF_STRING | (greyed ? MF_GRAYED : 0) | (checked ? MF_CHECKED : 0), id,
              text.c_str());
}

// A submenu, greyed as a whole.
HMENU AddSubmenu(HMENU menu, const wchar_t* text, bool greyed) {
  const HMENU submenu = CreatePopupMenu();
  AppendMenuW(menu, MF_POPUP | (greyed ? MF_GRAYED : 0), reinterpret_cast<UINT_PTR>(submenu), text);
  return submenu;
}

}  // namespace

zol::UniqueMenu TrayMenu(const zol::Path& settingsFile, bool paused) {
  std::wstring favourite, alternate, now;
  std::wstring values[3];  // what each switch writes, in the order of Choice
  try {
    app::ProgramSettings settings(settingsFile, zol::SettingsForm::QuickSwitcher);
    settings.Load();
    favourite = zol::ValueText(settings.Values().FavouriteName);
    alternate = zol::ValueText(settings.Values().AlternateName);
    for (const Choice choice : {Choice::Favourite, Choice::None, Choice::Alternate}) {
      values[static_cast<int>(choice)] = SwitchValue(settings.Values(), choice);
    }
    now = NamedNow(settingsFile);
  } catch (const zol::Error&) {
    // The switches show what is wrong when they are chosen.
  }
  const bool fixed = !zol::ScreenSaverPolicy(L"SCRNSAVE.EXE").empty();
  const std::wstring active = zol::ScreenSaverPolicy(L"ScreenSaveActive");
  // The switch whose value Windows names now, if any.
  const UINT named = now.empty() || zol::NamesNoScreenSaver(now)          ? kNone
                     : zol::SameName(now, values[int(Choice::Favourite)]) ? kFavourite
                     : zol::SameName(now, values[int(Choice::Alternate)]) ? kAlternate
                                                                          : 0u;

  zol::UniqueMenu menu(CreatePopupMenu());
  const HMENU m = menu.get();
  AddItem(m, kFavourite, favourite + L" に変更(&F)", fixed || active == L"0");
  AddItem(m, kAlternate, alternate + L" に変更(&A)", fixed || active == L"0");
  AddItem(m, kNone, L"スクリーンセイバ無し(&N)", fixed);
  if (named) CheckMenuRadioItem(m, kFavourite, kNone, named, MF_BYCOMMAND);
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  if (paused) {
    AddItem(m, kResume, L"今すぐ再開(&R)", false);
    AddItem(m, kExtend, L"30 分延長(&E)", false);
  } else {
    const HMENU pause = AddSubmenu(m, L"休止(&P)", fixed || !active.empty());
    AddItem(pause, kPause30, L"30 分(&3)", false);
    AddItem(pause, kPause60, L"1 時間(&1)", false);
    AddItem(pause, kPause120, L"2 時間(&2)", false);
  }
  const HMENU wait =
      AddSubmenu(m, L"待ち時間(&W)", !zol::ScreenSaverPolicy(L"ScreenSaveTimeOut").empty());
  const int minutes = zol::ScreenSaverWait() / 60;
  for (const int each : kWaits) {
    AddItem(wait, kWait + each, std::to_wstring(each) + L" 分", false, each == minutes);
  }
  if (minutes > 0 && std::find(std::begin(kWaits), std::end(kWaits), minutes) == std::end(kWaits)) {
    AddItem(wait, kWait + minutes, std::to_wstring(minutes) + L" 分", false, true);
  }
  if (const std::optional<bool> locks = zol::ScreenSaverLocks()) {
    AddItem(m, kLock, L"再開時にロック(&L)",
            !zol::ScreenSaverPolicy(L"ScreenSaverIsSecure").empty(), *locks);
  }
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AddItem(m, kPanel, L"コントロールパネル呼出(&C)", false);
  AddItem(m, kExit, L"終了(&X)", false);
  return menu;
}

Resident::Resident(app::PauseLock& lock, std::optional<zol::Path> settingsFile)
    : lock_(lock), settingsFile_(std::move(settingsFile)) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  static const bool registered = forms::RegisterWindowClass(kClass, WindowProc);
  (void)registered;
  // A hidden top-level window, not a message-only one: only top-level windows hear that the
  // session ends, that a setting changed and that the taskbar is made anew.
  window_.reset(
      CreateWindowExW(0, kClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, this));
  if (!window_) throw zol::Error(zol::ErrorKind::Unexpected, L"", L"CreateWindowEx: icon");
  Publish();
  icon_.cbSize = sizeof icon_;
  icon_.hWnd = window_.get();
  icon_.uID = 1;
  icon_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  icon_.uCallbackMessage = kIconMessage;
  for (const int id : {IDI_APP, IDI_PAUSED}) {
    looks_[id == IDI_PAUSED] = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  }
  icon_.uVersion = NOTIFYICON_VERSION_4;
  if (settingsFile_) ShowIcon();
}

void Resident::Pause(milliseconds duration) {
  if (!end_) {
    zol::CheckPausePolicy();
    if (!zol::SessionScreenSaverActive()) throw zol::Error(zol::ErrorKind::NothingToPause, L"");
  }
  Continue(duration);
}

// Shown as paused before it is: a switch meanwhile leaves the session alone.
void Resident::Continue(milliseconds duration) {
  const bool starts = !end_;
  end_ = Clock::now() + std::min<milliseconds>(duration, kLongestPause);
  if (starts) {
    Publish();
    zol::SetSessionScreenSaverActive(false);
  }
  Tick();
}

void Resident::Wait() {
  MSG message;
  while (!ended_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

int Resident::PauseFromCommandLine(Minutes duration) {
  app::PauseLock lock;
  for (const auto end = Clock::now() + kPatience; Clock::now() < end;) {
    if (lock.Take(50)) {
      Resident pause(lock, std::nullopt);
      pause.Pause(duration);
      pause.Wait();
      return 0;
    }
    if (lock.Ask(kPauseMessage, duration.count())) return 0;
  }
  throw zol::Error(zol::ErrorKind::Unexpected, L"", L"pause: no answer");
}

void Resident::ResumeFromCommandLine() { app::PauseLock().Ask(kResumeMessage); }

int Resident::TrayFromCommandLine(const zol::Path& settingsFile) {
  app::PauseLock lock;
  milliseconds adopted{0};
  for (const auto end = Clock::now() + kPatience; Clock::now() < end;) {
    if (lock.Take(50)) {
      Resident tray(lock, settingsFile);
      if (adopted.count()) tray.Continue(adopted);
      tray.Wait();
      return 0;
    }
    const app::PauseLock::Owner owner = lock.Shown();
    if (owner.resident && IsWindow(owner.window)) return 0;  // one icon a session
    if (const LRESULT left = lock.Ask(kHandOverMessage)) adopted = milliseconds(left);
  }
  throw zol::Error(zol::ErrorKind::Unexpected, L"", L"tray: no answer");
}

LRESULT CALLBACK Resident::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Resident* resident = zol::WindowOwner<Resident>(hwnd, message, lParam);
  return resident ? resident->OnMessage(hwnd, message, wParam, lParam)
                  : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT Resident::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kIconMessage:
      return OnIcon(LOWORD(lParam), {short(LOWORD(wParam)), short(HIWORD(wParam))}), 0;
    case kPauseMessage:
      return OnPauseAsked(Minutes(static_cast<int>(wParam)));
    case kResumeMessage:
      return !ended_ && (EndPause(), true);
    case kHandOverMessage:
      return OnHandOver();
    case WM_CLOSE:
      return Quit(), 0;
    case WM_ENDSESSION:  // the user signs out or Windows shuts down: no other message comes
      return wParam ? (Quit(), 0) : 0;
    case WM_SETTINGCHANGE:  // a switch of another program's: the tooltip follows
      return settingsFile_ && !end_ ? (ShowIcon(), 0) : 0;
    case WM_TIMER:
      return Tick(), 0;
    default:
      if (message == TaskbarCreated() && shown_) {
        shown_ = false;
        ShowIcon();
      }
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

// The command line that asked ends at once; a pause that cannot start says so here.
LRESULT Resident::OnPauseAsked(Minutes duration) {
  if (ended_) return FALSE;
  ReplyMessage(TRUE);
  try {
    Pause(duration);
  } catch (const zol::Error& error) {
    forms::ShowError(nullptr, Form1::kCaption, error);
  }
  return TRUE;
}

// A pause alone gives a resident icon the time that is left and ends, leaving the session off.
LRESULT Resident::OnHandOver() {
  if (ended_ || !end_ || settingsFile_) return 0;
  ReplyMessage(
      std::max<milliseconds>(std::chrono::ceil<milliseconds>(*end_ - Clock::now()), milliseconds(1))
          .count());
  end_.reset();
  Quit();
  return 0;
}

// A click of either button, or the keyboard's choice of the icon, opens the menu where the event
// says; each click comes as the button's own message too, which opens nothing.
void Resident::OnIcon(UINT event, POINT at) {
  if (event != NIN_SELECT && event != NIN_KEYSELECT && event != WM_CONTEXTMENU) return;
  zol::UniqueMenu menu;
  if (settingsFile_) {
    menu = TrayMenu(*settingsFile_, end_.has_value());
  } else {
    menu.reset(CreatePopupMenu());
    AddItem(menu.get(), kResume, L"今すぐ再開(&R)", false);
    AddItem(menu.get(), kExtend, L"30 分延長(&E)", false);
  }
  OnMenu(forms::ChooseFromMenu(window_.get(), at, menu.get()));
}

// What fails is shown, and the icon stays.
void Resident::OnMenu(UINT command) {
  constexpr Minutes kPauses[] = {Minutes(30), Minutes(60), Minutes(120)};
  try {
    switch (command) {
      case kFavourite:
        return SwitchWithoutWindow(*settingsFile_, Choice::Favourite), ShowIcon();
      case kAlternate:
        return SwitchWithoutWindow(*settingsFile_, Choice::Alternate), ShowIcon();
      case kNone:
        return SwitchWithoutWindow(*settingsFile_, Choice::None), ShowIcon();
      case kPause30:
      case kPause60:
      case kPause120:
        return Pause(kPauses[command - kPause30]);
      case kResume:
        return EndPause();
      case kExtend:  // a pause that ended while the menu was open starts anew
        return Pause(
            (end_ ? std::chrono::ceil<milliseconds>(*end_ - Clock::now()) : milliseconds::zero()) +
            kExtension);
      case kLock:
        return zol::SetScreenSaverLocks(!zol::ScreenSaverLocks().value_or(false));
      case kPanel:
        return ControlPanelWithoutWindow(*settingsFile_);
      case kExit:
        return Quit();
      default:
        if (command > kWait) zol::SetScreenSaverWait(static_cast<int>(command - kWait) * 60);
    }
  } catch (const zol::Error& error) {
    forms::ShowError(nullptr, Form1::kCaption, error);
  }
}

// Shows the minutes that are left, and comes again when they change or the pause ends. A timer
// message may still come after the pause has ended: KillTimer leaves one that is posted already.
void Resident::Tick() {
  if (!end_) return;
  const milliseconds left = std::chrono::ceil<milliseconds>(*end_ - Clock::now());
  if (left <= milliseconds::zero()) return EndPause();
  const Minutes shown = std::chrono::ceil<Minutes>(left);
  ShowIcon();
  SetTimer(window_.get(), kTimer, static_cast<UINT>((left - (shown - Minutes(1))).count()),
           nullptr);
}

// The tooltip: the minutes of the pause, or the screen saver that Windows names now; the icon's
// look of its own while a pause runs.
void Resident::ShowIcon() {
  std::wstring tip;
  if (end_) {
    const Minutes left = std::chrono::ceil<Minutes>(*end_ - Clock::now());
    tip = L"スクリーンセイバー休止中（あと " + std::to_wstring(left.count()) + L" 分）";
  } else {
    std::wstring now;
    try {
      now = NamedNow(*settingsFile_);
    } catch (const zol::Error&) {
      // shown as none; a switch says what is wrong
    }
    tip = L"スクリーンセイバー：" + (now.empty() || zol::NamesNoScreenSaver(now)
                                         ? std::wstring(zol::kNoScreenSaver)
                                         : now.substr(now.find_last_of(L'\\') + 1));
  }
  wcsncpy_s(icon_.szTip, tip.c_str(), _TRUNCATE);
  icon_.hIcon = looks_[end_.has_value()];
  SetWindowTextW(window_.get(), tip.c_str());
  if (shown_) {
    Shell_NotifyIconW(NIM_MODIFY, &icon_);
  } else {
    shown_ = Shell_NotifyIconW(NIM_ADD, &icon_);
    Shell_NotifyIconW(NIM_SETVERSION, &icon_);
  }
}

void Resident::Resume() {
  if (!end_) return;
  end_.reset();
  KillTimer(window_.get(), kTimer);
  Publish();
  // The stored setting, or the state before the pause where nothing is stored.
  zol::SetSessionScreenSaverActive(zol::StoredScreenSaverActive().value_or(true));
}

void Resident::EndPause() {
  Resume();
  settingsFile_ ? ShowIcon() : Quit();
}

// A menu that is open closes: the end of the session or a WM_CLOSE comes while it waits.
void Resident::Quit() {
  if (ended_) return;
  ended_ = true;
  EndMenu();
  Resume();
  if (shown_) Shell_NotifyIconW(NIM_DELETE, &icon_);
  shown_ = false;
  lock_.Release();
  PostMessageW(window_.get(), WM_NULL, 0, 0);  // Wait sees the end
}

void Resident::Publish() {
  lock_.Publish({window_.get(), end_.has_value(), settingsFile_.has_value()});
}

}  // namespace zolswap
