// The two programs as their users meet them: stories told on each window (what the user does,
// then what the user and Windows see), each program as a process of its own, the window layer
// beneath them, and the installation.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <tlhelp32.h>

#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "configurator.h"
#include "dpi.h"
#include "initial_settings.h"
#include "installation.h"
#include "platform.h"
#include "resident.h"
#include "settings.h"
#include "switcher.h"

namespace zol {
namespace {
using test::ReadBytes;
using Seen = std::map<std::wstring, std::wstring>;
namespace fs = std::filesystem;

// The screen saver that Windows of the NT family keeps for the user, and ScreenSaveActive.
constexpr const wchar_t* kDesktop = L"Control Panel\\Desktop";
constexpr const wchar_t* kPolicy =
    L"Software\\Policies\\Microsoft\\Windows\\Control Panel\\Desktop";

void WriteDesktop(const test::Text& saver, const test::Text& active) {
  test::SetRegistryText(kDesktop, L"SCRNSAVE.EXE", saver);
  test::SetRegistryText(kDesktop, L"ScreenSaveActive", active);
}

// A program of the build.
fs::path Built(const wchar_t* program) {
  return fs::path(_pgmptr).parent_path().parent_path() / program;
}

// The screen saver in the session now, "on" or "off", or set to that, by a program of its own (see
// fake_program.cpp).
std::wstring Session(const wchar_t* set = L"/active") {
  return test::ExitCode(test::Open(Built(L"tests\\fake_program.exe"), set, {}).get()) ? L"on"
                                                                                      : L"off";
}

// Two values of the key, "-" for one that is absent: by default the screen saver and whether it is
// active; the wait before it starts, in seconds, and whether it locks.
std::wstring ReadDesktop(const wchar_t* first = L"SCRNSAVE.EXE",
                         const wchar_t* second = L"ScreenSaveActive") {
  return test::RegistryText(kDesktop, first).value_or(L"-") + L" " +
         test::RegistryText(kDesktop, second).value_or(L"-");
}
std::wstring WaitAndLock() { return ReadDesktop(L"ScreenSaveTimeOut", L"ScreenSaverIsSecure"); }
void SetWaitAndLock(const wchar_t* wait, const wchar_t* lock) {
  test::SetRegistryText(kDesktop, L"ScreenSaveTimeOut", wait);
  test::SetRegistryText(kDesktop, L"ScreenSaverIsSecure", lock);
}

std::vector<std::wstring> Split(std::wstring_view text, wchar_t between = L';') {
  std::vector<std::wstring> parts;
  std::wistringstream in{std::wstring(text)};
  for (std::wstring part; std::getline(in, part, between);) parts.push_back(part);
  return parts;
}

// The preview window of the form, if it is open: a window that the form owns.
HWND PreviewOf(HWND form) {
  const HWND preview = FindWindowW(L"ZolPreview", nullptr);
  return preview && GetWindow(preview, GW_OWNER) == form ? preview : nullptr;
}

// The icons of the notification area: with none on the display, Wine shows them in a small window
// of its own.
std::vector<HWND> Icons() {
  std::vector<HWND> icons;
  const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
  for (HWND icon = nullptr; tray && (icon = FindWindowExW(tray, icon, nullptr, nullptr));) {
    if (IsWindowVisible(icon)) icons.push_back(icon);
  }
  return icons;
}

// The tooltip of the first icon, as it shows when the mouse rests on the icon.
std::wstring IconTip() {
  RECT at;
  if (Icons().empty() || !GetWindowRect(Icons()[0], &at)) return L"";
  SetCursorPos(at.left + 4, at.top + 4);
  wchar_t tip[128] = L"";
  for (int i = 0; i < 30 && !*tip; ++i, Sleep(100)) {
    for (HWND t = nullptr; !*tip && (t = FindWindowExW(nullptr, t, TOOLTIPS_CLASSW, nullptr));) {
      if (IsWindowVisible(t)) SendMessageW(t, WM_GETTEXT, std::size(tip), LPARAM(tip));
    }
  }
  SetCursorPos(0, 0);
  return tip;
}

// The screen savers that run now, by name.
std::wstring Running() {
  std::multiset<std::wstring> names;
  const zol::UniqueHandle all(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W each{};
  each.dwSize = sizeof each;
  for (BOOL more = Process32FirstW(all.get(), &each); more;
       more = Process32NextW(all.get(), &each)) {
    if (std::wstring_view(each.szExeFile).ends_with(L".scr")) names.insert(each.szExeFile);
  }
  std::wstring running;
  for (const std::wstring& name : names) running += (running.empty() ? L"" : L" ") + name;
  return running;
}

// What a user does to a window, as the messages that the mouse and the keyboard post:
//   click X, double X, right X   on the button or label captioned X, on the entry X of a list, or
//                                on the first icon of the notification area for "icon"
//   under X                      a right click just below the entry X of a list
//   drive L                      the drive letter L typed into the drive list
//   key K                        tab, enter, escape, alt+f4 or shift+f10 on the control with the
//                                focus
//   choose C                     the menu item whose mnemonic is C, in the menu that opens
//   widen, close                 the frame dragged wider; the window closed
//   close preview                the preview window closed
//   session end                  the user signing out
//   explorer                     the icons gone, then Explorer telling that it has started again
//   dpi 144                      the preview moved to a monitor of that DPI
//   wait, kill                   a second and a half; the program killed
void Act(HWND form, const std::wstring& verb, const std::wstring& what) {
  const std::map<std::wstring, std::vector<UINT>> mouse = {
      {L"click", {WM_LBUTTONDOWN, WM_LBUTTONUP}},
      {L"double", {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
      {L"right", {WM_RBUTTONDOWN, WM_RBUTTONUP}},
      {L"under", {WM_RBUTTONDOWN, WM_RBUTTONUP}}};
  const std::map<std::wstring, WORD> keys = {{L"tab", VK_TAB},
                                             {L"enter", VK_RETURN},
                                             {L"escape", VK_ESCAPE},
                                             {L"alt+f4", VK_F4},
                                             {L"down", VK_DOWN}};
  RECT at{};
  HWND control = what == L"icon" && !Icons().empty() ? Icons()[0] : nullptr;
  if (!control) control = FindWindowExW(form, nullptr, L"Button", what.c_str());
  if (!control) control = FindWindowExW(form, nullptr, L"Static", what.c_str());
  if (control) GetClientRect(control, &at);
  for (HWND list = nullptr; !control && (list = FindWindowExW(form, list, L"ListBox", nullptr));) {
    const LRESULT i = SendMessageW(list, LB_FINDSTRINGEXACT, -1, LPARAM(what.c_str()));
    if (i != LB_ERR && SendMessageW(list, LB_GETITEMRECT, i, LPARAM(&at)) != LB_ERR) control = list;
  }
  if (verb == L"under") OffsetRect(&at, 0, at.bottom - at.top + 2);
  if (mouse.count(verb)) {
    EXPECT_TRUE(control) << "nothing shows " << what;
    for (const UINT m : mouse.at(verb)) {
      const WPARAM buttons = m == WM_RBUTTONDOWN                      ? MK_RBUTTON
                             : m == WM_LBUTTONUP || m == WM_RBUTTONUP ? 0
                                                                      : MK_LBUTTON;
      PostMessageW(control, m, buttons,
                   MAKELPARAM((at.left + at.right) / 2, (at.top + at.bottom) / 2));
    }
  } else if (verb == L"key" && what == L"shift+f10") {  // Shift held until the window has seen it
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_SHIFT] = 0x80;
    SetKeyboardState(state);
    PostMessageW(GetFocus(), WM_SYSKEYDOWN, VK_F10, 1);
  } else if (verb == L"key") {
    const WORD key = keys.at(what);
    const HWND focus = GetFocus() ? GetFocus() : form;
    PostMessageW(focus, key == VK_F4 ? WM_SYSKEYDOWN : WM_KEYDOWN, key, (key == VK_F4) << 29 | 1);
    PostMessageW(focus, key == VK_F4 ? WM_SYSKEYUP : WM_KEYUP, key,
                 (key == VK_F4) << 29 | 0xC0000001);
  } else if (verb == L"choose") {
    PostMessageW(form, WM_CHAR, what[0], 1);
  } else if (verb == L"drive") {
    PostMessageW(FindWindowExW(form, nullptr, L"ComboBox", nullptr), WM_CHAR, what[0], 1);
  } else if (verb == L"explorer") {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon, icon.hWnd = form, icon.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &icon);
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  } else if (verb == L"dpi") {
    GetWindowRect(PreviewOf(form), &at);
    at.right += (at.right - at.left) / 2;
    at.bottom += (at.bottom - at.top) / 2;
    SendMessageW(PreviewOf(form), WM_DPICHANGED, MAKEWPARAM(144, 144), LPARAM(&at));
  } else if (verb == L"wait") {
    Sleep(1500);
  } else if (verb == L"kill") {
    DWORD id = 0;
    GetWindowThreadProcessId(form, &id);
    TerminateProcess(zol::UniqueHandle(OpenProcess(PROCESS_TERMINATE, FALSE, id)).get(), 1);
  } else if (verb == L"session") {  // the user signs out
    PostMessageW(form, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  } else if (verb == L"widen") {
    SetWindowPos(form, nullptr, 0, 0, 900, 500, SWP_NOMOVE | SWP_NOZORDER);
  } else {
    EXPECT_EQ(verb, L"close");
    PostMessageW(what.empty() ? form : PreviewOf(form), WM_CLOSE, 0, 0);
  }
}

// Acts separated by ";"; in process, each followed by what the window's message loop runs, but for
// one that opens a menu, whose choice comes first.
void Acts(HWND form, std::wstring_view acts, bool inProcess) {
  for (const std::wstring& act : Split(acts)) {
    const size_t blank = std::min(act.find(L' '), act.size());
    Act(form, act.substr(0, blank), act.substr(std::min(blank + 1, act.size())));
    const bool menu = act.starts_with(L"right") || act.starts_with(L"under") ||
                      act == L"key shift+f10" || act == L"click icon";
    const auto pump = [&] {
      for (MSG m; inProcess && !menu && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) {
        if (IsDialogMessageW(form, &m)) continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
      }
    };
    pump();
    // A screen saver that the preview started has drawn once a window of its own covers the
    // picture, which then says nothing; the preview's menu item opens the preview first.
    for (int i = 0; i < 100; ++i) {
      const HWND picture = FindWindowExW(PreviewOf(form), nullptr, L"ZolPicture", nullptr);
      if (picture ? GetWindowTextLengthW(picture) || GetWindow(picture, GW_CHILD)
                  : act != L"choose p")
        break;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
      pump();
    }
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_SHIFT] = menu ? state[VK_SHIFT] : 0;
    SetKeyboardState(state);
    // For the act to take in the other process; a menu to open there.
    for (int i = 0; !inProcess && i < (menu ? 50 : 3); ++i) {
      Sleep(100);
      if (i >= 2 && IsWindowVisible(FindWindowW(L"#32768", nullptr))) break;
    }
  }
}

// A control's caption, or its class when it has none.
std::wstring Name(HWND control) {
  wchar_t name[256] = L"";
  if (!GetWindowTextW(control, name, 256)) GetClassNameW(control, name, 256);
  return name;
}

// A label's caption, and its tooltip when that says anything else.
std::wstring Shown(const forms::Label& label) {
  for (HWND tip = nullptr; (tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));) {
    wchar_t text[1024] = L"";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(label.Handle());
    tool.uId = reinterpret_cast<UINT_PTR>(label.Handle());
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    if (*text && text != label.Caption()) return label.Caption() + L" (tooltip " + text + L")";
  }
  return label.Caption();
}

// The preview's title, the size of its picture and what the picture says; nothing when it is not
// open.
std::wstring PreviewShown() {
  const HWND preview = FindWindowW(L"ZolPreview", nullptr);
  if (!preview) return L"";
  const HWND picture = FindWindowExW(preview, nullptr, L"ZolPicture", nullptr);
  const std::wstring said = forms::WindowText(picture);
  RECT size{};
  GetClientRect(picture, &size);
  return forms::WindowText(preview) + L" " + std::to_wstring(size.right) + L"×" +
         std::to_wstring(size.bottom) + (said.empty() ? L"" : L" / " + said);
}

// What the user sees of a window: the control with the focus, whether the window is open, hidden
// or ended, and the configurator's labels and the drive, the folder and the files of its lists.
template <class Window>
Seen SeenOn(const Window& w) {
  Seen seen = {{L"focus", Name(GetFocus())}};
  seen[L"window"] = w.form.Ended()                     ? L"ended"
                    : IsWindowVisible(w.form.Handle()) ? L"open"
                                                       : L"hidden";
  if constexpr (std::is_same_v<Window, zolset::Form1>) {
    seen[L"label1"] = Shown(w.Label1);
    seen[L"label5"] = Shown(w.Label5);
    std::wstring& lists = seen[L"lists"] = w.Drvlist.Drive().substr(0, 2) + L" " + w.Dirlist.Path();
    for (int i = 0; i < SendMessageW(w.File1.Handle(), LB_GETCOUNT, 0, 0); ++i) {
      wchar_t name[MAX_PATH];
      SendMessageW(w.File1.Handle(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(name));
      lists += L" " + std::wstring(name);
    }
  }
  return seen;
}

// A condition that a story runs under: set before the program starts, undone after the story.
struct Condition {
  std::function<void()> set, undo;
};

// A user's story: what the user does, what the user and Windows see afterwards, and the condition
// that it runs under. What is seen is "key=text;…" over these keys, each as before the story
// unless given: label1, label5, lists (the drive, the folder and the files), preview (its title,
// the size of its picture and what the picture says, nothing when it is closed), focus, window
// (open, hidden or ended), said (the error reports), zol.ini ("saved" with the window's position,
// "kept" or its text), system.ini (its text), registry (SCRNSAVE.EXE and ScreenSaveActive), wait
// (the wait in seconds and the lock), started (the command lines of the programs started, a line
// each), running (the screen savers), session (its screen saver on or off), and for a process exit,
// width (of the window's client area), icons (in the notification area) and tip (the first one's).
struct Story {
  std::wstring acts, sees;
  Condition condition = {};
};

// Conditions: the registry key of the screen saver write-protected, a file write-protected or
// missing, the administrator's policy for the screen saver with one value set, the registry
// naming no screen saver already, Wine answering as Windows 98, and the display at another DPI.
const Condition kRegistryLocked = {
    [] { test::SetRegistryAccess(kDesktop, L"D:(D;;0x2;;;WD)(A;;KA;;;WD)"); },
    [] { test::SetRegistryAccess(kDesktop, L"D:(A;;KA;;;WD)"); }};

Condition ReadOnly(const fs::path& file) {
  return {[file] { SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY); },
          [file] { SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL); }};
}

Condition Missing(const fs::path& file) {
  return {[file] { fs::remove(file); }, {}};
}

// A text value under HKEY_CURRENT_USER for the story, absent afterwards.
Condition Registry(const wchar_t* key, const wchar_t* name, const wchar_t* text) {
  return {[=] { test::SetRegistryText(key, name, text); },
          [=] { test::SetRegistryText(key, name, {}); }};
}
Condition Policy(const wchar_t* name, const wchar_t* text) { return Registry(kPolicy, name, text); }

const Condition kNamesNone = {[] { WriteDesktop({}, L"0"); }, {}};
const Condition kStoredNothing = {[] { WriteDesktop(L"C:\\OLD.SCR", {}); }, {}};

// Screen savers that ignore the end of their picture (see fake_program.cpp).
const Condition kStubborn = {[] { _wputenv_s(L"ZOL_STUBBORN", L"1"); },
                             [] { _wputenv_s(L"ZOL_STUBBORN", L""); }};

// A pause that zolswap runs meanwhile, from the time it has turned the screen saver off.
const Condition kPausedElsewhere = {
    [] {
      test::Open(Built(L"switcher\\zolswap.exe"), L"/pause 5", {});
      for (int i = 0; i < 50 && Session() == L"on"; ++i) Sleep(100);
    },
    [] { test::ExitCode(test::Open(Built(L"switcher\\zolswap.exe"), L"/resume", {}).get()); }};

const Condition kWindows98 = Registry(L"Software\\Wine", L"Version", L"win98");

Condition Dpi(DWORD dpi) {
  const auto set = [](DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &value, sizeof value);
  };
  return {[=] { set(dpi); }, [=] { set(96); }};
}

// The scratch installation, and the stories told on a program there.
class ProgramTest : public ::testing::Test {
 protected:
  // Tells each story: the installation's files and registry values, the condition, the story that
  // `run` tells, giving what the user saw, and what Windows sees then. Every story sees `usual`.
  void Tell(const std::vector<Story>& stories, const std::wstring& usual, const std::string& saved,
            const std::function<Seen(const Story&)>& run) {
    for (const Story& s : stories) {
      SCOPED_TRACE(testing::Message() << "story " << &s - stories.data() << ": " << s.acts);
      test::WriteBytes(install.zolIni, zolIni_);
      test::WriteBytes(install.systemIni, systemIni_);
      WriteDesktop(L"C:\\OLD.SCR", L"1");
      SetWaitAndLock(L"600", L"0");
      if (s.sees.find(L"session=") != std::wstring::npos) Session(L"/on");  // where it is seen
      if (s.condition.set) s.condition.set();
      const std::string zolIni = ReadBytes(install.zolIni);
      Seen told = {{L"said", L""}, {L"zol.ini", L"kept"}, {L"started", L""}};
      told[L"system.ini"] = FromCp932(ReadBytes(install.systemIni));
      told[L"registry"] = ReadDesktop();
      told[L"wait"] = WaitAndLock();
      for (const std::wstring& part : Split(usual + L";" + s.sees)) {
        told[part.substr(0, part.find(L'='))] = part.substr(part.find(L'=') + 1);
      }
      Seen seen = run(s);
      if (told.count(L"session") && !seen.count(L"session")) seen[L"session"] = Session();
      if (told.count(L"running")) seen[L"running"] = Running();
      const std::string zol = ReadBytes(install.zolIni);
      seen[L"zol.ini"] = zol == saved ? L"saved" : zol == zolIni ? L"kept" : FromCp932(zol);
      seen[L"system.ini"] = FromCp932(ReadBytes(install.systemIni));
      seen[L"registry"] = ReadDesktop();
      seen[L"wait"] = WaitAndLock();
      seen[L"started"] =
          install.Started(std::count(told[L"started"].begin(), told[L"started"].end(), L'\n'));
      for (const auto& [what, text] : told) EXPECT_EQ(seen[what], text) << what;
      if (s.condition.undo) s.condition.undo();
    }
  }

  // Each story on a window of the program's own in this process. After its start-up the window
  // is moved to 30, 45 pixels. Every window that shows, shows whole on the work area.
  template <class Window>
  void TellOnWindow(const std::vector<Story>& stories, const std::string& saved) {
    Tell(stories, L"window=open", saved, [&](const Story& s) {
      auto w = std::make_unique<Window>(install.zolIni);
      std::wstring said;
      w->form.ReportError = [&](const Error& e) { said += e.Text(); };
      w->form.Open();
      RECT frame, work, inside;
      GetWindowRect(w->form.Handle(), &frame);
      SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
      EXPECT_TRUE(w->form.Ended() ||
                  (IntersectRect(&inside, &frame, &work) && EqualRect(&inside, &frame)));
      SetWindowPos(w->form.Handle(), nullptr, 30, 45, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      Acts(w->form.Handle(), s.acts, true);
      Seen seen = SeenOn(*w);
      seen[L"said"] = said;
      if (w->form.Ended()) w.reset();  // the program's end: what it owns goes with its window
      seen[L"preview"] = PreviewShown();
      return seen;
    });
  }

  // Each story on the program started as the shell starts it and driven from outside: an act that
  // begins with "/" or "-" starts it with that command line (with others after "&", all at once);
  // any other goes to the window of the one last started that shows one, which starts without
  // arguments when none has. What it says shows in a message box. At the end that window is
  // closed; the exit codes are seen in turn, and so are the notification area's icons.
  void TellAsProcess(const wchar_t* program, const std::vector<Story>& stories) {
    const fs::path built = Built(program);
    Tell(stories, L"exit=0;icons=0", ZolIni(&test::ZolLines::top, L" 1500 ", L" 3000 "),
         [&](const Story& s) {
           Seen seen;
           std::vector<zol::UniqueHandle> started;
           // A message box of the program's, read and answered.
           const auto answer = [&](HWND box) {
             // Its text is the static control 0xFFFF.
             if (!seen.count(L"said")) seen[L"said"] = forms::WindowText(GetDlgItem(box, 0xFFFF));
             EXPECT_EQ(Name(box), L"ＺＯＬ３．６０");
             PostMessageW(box, WM_COMMAND, IDOK, 0);
           };
           // A program started, until it ends or waits with a window.
           const auto watch = [&](HANDLE process) {
             for (int i = 0; i < 100 && WaitForSingleObject(process, 100) == WAIT_TIMEOUT; ++i) {
               for (const wchar_t* kind : {L"#32770", L"ZolForm", L"ZolIcon"}) {
                 const HWND window = test::WindowOf(process, kind);
                 if (!window || !GetWindowTextLengthW(window)) continue;
                 WaitForInputIdle(process, 20000);
                 RECT client;
                 GetClientRect(window, &client);
                 seen[L"width"] = std::to_wstring(client.right);
                 if (*kind != L'#') return window;
                 answer(window);
               }
             }
             return HWND{};
           };
           // Programs started at once: the window of the last that shows one.
           const auto start = [&](const std::wstring& commandLines) {
             const size_t first = started.size();
             for (const std::wstring& arguments : Split(commandLines + L'&', L'&')) {
               started.push_back(test::Open(built, arguments.empty() ? nullptr : arguments.c_str(),
                                            install.folder.Path()));
             }
             HWND shown = nullptr;
             for (size_t p = first; p < started.size(); ++p) {
               if (const HWND window = watch(started[p].get())) shown = window;
             }
             return shown;
           };
           HWND window = nullptr;
           for (const std::wstring& act : Split(s.acts)) {
             const bool commandLine = act.starts_with(L'/') || act.starts_with(L'-');
             if (commandLine || !window) {
               if (const HWND shown = start(commandLine ? act : L"")) window = shown;
             }
             if (!commandLine) Acts(window, act, false);
           }
           for (const zol::UniqueHandle& process : started) {
             if (const HWND box = test::WindowOf(process.get(), L"#32770")) answer(box);
           }
           seen[L"icons"] = std::to_wstring(Icons().size());
           if (s.sees.find(L"tip=") != std::wstring::npos) seen[L"tip"] = IconTip();
           if (s.sees.find(L"session=") != std::wstring::npos) seen[L"session"] = Session();
           PostMessageW(window, WM_CLOSE, 0, 0);
           for (const zol::UniqueHandle& process : started) {
             seen[L"exit"] += (seen[L"exit"].empty() ? L"" : L" ") +
                              std::to_wstring(test::ExitCode(process.get()));
           }
           return seen;
         });
  }

  // zol.ini with other lines.
  std::string ZolIni(std::wstring test::ZolLines::*line, const wchar_t* text,
                     const wchar_t* left = nullptr) const {
    test::ZolLines lines = install.lines;
    lines.*line = text;
    if (left) lines.left = left;
    return test::ZolIniBytes(lines);
  }
  // Conditions: zol.ini with other lines, system.ini with this text.
  Condition ZolIniWith(std::wstring test::ZolLines::*line, const wchar_t* text,
                       const wchar_t* left = nullptr) const {
    return {[=, this] { test::WriteBytes(install.zolIni, ZolIni(line, text, left)); }, {}};
  }
  Condition SystemIni(const std::wstring& text) const {
    return {[=, this] { test::WriteBytes(install.systemIni, test::Cp932(text)); }, {}};
  }
  std::wstring Saver(const wchar_t* name) const { return (install.savers / name).wstring(); }
  // What a change to the screen saver given shows: system.ini with its entry and the registry.
  std::wstring Changed(const std::wstring& systemIni, const wchar_t* saver) const {
    const std::wstring registry = *saver ? Saver(saver) + L" 1" : L"- 0";
    return L";system.ini=" + systemIni + L";registry=" + registry;
  }
  std::wstring Entry(const wchar_t* s) const { return L"SCRNSAVE.EXE=" + Saver(s) + L"\r\n"; }
  // How the fake program tells that it was started, by its path and with the arguments given.
  static std::wstring Started(const fs::path& program, const wchar_t* arguments = L"") {
    return L";started=\"" + program.wstring() + L"\"" + arguments + L"\n";
  }
  static std::wstring Says(ErrorKind kind, const fs::path& subject, const wchar_t* detail = L"") {
    return L";said=" + Error(kind, subject.wstring(), detail).Text();
  }

  test::Installation install;
  const std::string zolIni_ = ReadBytes(install.zolIni), systemIni_ = ReadBytes(install.systemIni);
  const std::wstring boot = L"[boot]\r\n", display = L"[display]\r\nDisplayFallback=0\r\n";
  const std::wstring panel = Started(install.folder / "control.exe");
  const std::wstring notSaved =
      L";said=" + Error(ErrorKind::AccessDenied, install.zolIni).AfterEntryChanged().Text();
  // The administrator's policy, and what it refuses: a screen saver of its own, or none.
  const Condition fixedSaver = Policy(L"SCRNSAVE.EXE", L"C:\\p.scr"),
                  noSaver = Policy(L"ScreenSaveActive", L"0");
  const std::wstring policy = L"HKEY_CURRENT_USER\\" + std::wstring(kPolicy),
                     refusedFixed =
                         Says(ErrorKind::PolicyDecides, policy, L"SCRNSAVE.EXE = C:\\p.scr"),
                     refusedNone = Says(ErrorKind::PolicyDecides, policy, L"ScreenSaveActive = 0");
};

// The configurator, from start-up through browsing to each command; a start-up that fails shows
// no window, and one from a position off every screen (a monitor that is gone) shows the window
// whole. The test command maps Q: to a folder that does not exist.
TEST_F(ProgramTest, Configurator) {
  const std::wstring fallback = L"[display]\r\nDisplayFallback=1\r\n", savers = install.savers,
                     old = Saver(L"古い"), maze = Saver(L"迷路.scr"), broken = Saver(L"壊れた.scr");
  const std::wstring drive = {static_cast<wchar_t>(towlower(savers[0])), L':'};
  const std::wstring files = L";lists=" + drive + L" " + savers + L" 壊れた.scr 星空.scr 迷路.scr";
  const std::wstring options = L"click オプション設定　（変更後実施して下さい）";
  const std::wstring applied =
      L";zol.ini=saved" + Changed(boot + Entry(L"迷路.scr") + display, L"迷路.scr");
  const std::wstring apply = L"click 迷路.scr;click 変　更";
  // A screen saver in the preview: started into the picture, then ended.
  const wchar_t* previewed = L" /p ZolPicture\nend";
  const std::wstring shown = Started(maze, previewed), star = Saver(L"星空.scr");
  const std::wstring stubborn =
      Started(maze, L" /p ZolPicture") + Started(star, L" /p ZolPicture").substr(9);
  TellOnWindow<zolset::Form1>(
      {
          {L"", L"label1=" + savers + L";label5=C:\\OLD.SCR;focus=変　更" + files},
          {L"", L"label5=（なし）", SystemIni(boot + L"SCRNSAVE.EXE=A.TXT\r\n")},
          {L"", L"label5=なし　［画面の設定で変更して下さい］", SystemIni(fallback)},
          {L"", Says(ErrorKind::FileNotFound, install.zolIni) + L";window=ended",
           Missing(install.zolIni)},
          {L"", Says(ErrorKind::FileNotFound, install.systemIni) + L";window=ended",
           Missing(install.systemIni)},
          {L"", Says(ErrorKind::CannotReadFolder, L"C:\\gone") + L";window=ended",
           ZolIniWith(&test::ZolLines::favouriteDir, L"\\gone\\")},
          {L"", L"", ZolIniWith(&test::ZolLines::top, L" -1500 ", L"60000")},
          {L"click 迷路.scr", L"label1=" + maze + L";focus=変　更"},
          {L"double 迷路.scr", L"label1=" + maze + L";focus=変　更"},
          {L"click 迷路.scr;click 古い", L"label1=" + savers},
          {L"double 古い", L"label1=" + old + L";lists=" + drive + L" " + old + L" 星空.scr"},
          {L"click 古い;key enter", L"label1=" + old},
          {L"click 古い;key tab", L"label1=" + old},
          {L"click 星空.scr;double 古い;click 星空.scr", L"label1=" + old + L"\\星空.scr"},
          {L"click 星空.scr;double 古い;click " + old, L"label1=" + old + L"\\星空.scr"},
          {L"click 迷路.scr;drive z", L"label1=z:迷路.scr"},
          {L"drive q", L"label1=" + drive + files},
          {apply, L"label5=" + maze + applied},
          {apply, L"label5=" + maze + applied + L";session=off", kPausedElsewhere},
          {L"click 迷路.scr;key enter", applied},
          {apply,
           L"window=ended;zol.ini=saved" + Changed(fallback + Entry(L"迷路.scr"), L"迷路.scr"),
           SystemIni(fallback)},
          {L"click 変　更",
           L"zol.ini=saved" + Changed(boot + L"SCRNSAVE.EXE=（なし）\r\n" + display, L"")},
          {apply, Says(ErrorKind::NoPlaceForEntry, install.systemIni), SystemIni(boot)},
          {apply, notSaved + Changed(boot + Entry(L"迷路.scr") + display, L"迷路.scr"),
           ReadOnly(install.zolIni)},
          {L"click 終　了", L"window=ended"},
          {L"key alt+f4", L"window=ended"},
          {L"key escape", L""},
          {L"click 迷路.scr;" + options, Started(maze)},
          {options, Says(ErrorKind::NothingPicked, L"")},
          {L"right 迷路.scr;choose t",
           L"label1=" + maze + L";focus=変　更" + Started(maze, L" /s")},
          {L"right 迷路.scr;choose c", Started(maze)},
          {L"click 迷路.scr;key tab;key tab;key tab;key tab;key shift+f10;choose t",
           Started(maze, L" /s")},
          {L"right 古い", L"label1=" + savers},
          {L"double 古い;under 星空.scr;choose t", L"label1=" + old},
          {L"click 壊れた.scr;" + options, Says(ErrorKind::CannotStart, broken)},
          {L"click コントロールパネルの呼出し", panel},
          {L"right 迷路.scr;choose p",
           L"label1=" + maze + L";focus=変　更;preview=プレビュー - 迷路.scr 200×150" + shown},
          {L"right 迷路.scr;choose p;click 星空.scr",
           L"preview=プレビュー - 星空.scr 200×150" + shown + Started(star, previewed).substr(9)},
          // A screen saver that ignores the end of its picture: the next starts at once, and the
          // one before is ended a second later.
          {L"right 迷路.scr;choose p;click 星空.scr", L"running=星空.scr 迷路.scr" + stubborn,
           kStubborn},
          {L"right 迷路.scr;choose p;click 星空.scr;wait", L"running=星空.scr" + stubborn,
           kStubborn},
          {L"right 迷路.scr;choose p;dpi 144",
           L"preview=プレビュー - 迷路.scr 300×225" + shown + shown.substr(9)},
          {L"right 迷路.scr;choose p;double 古い",
           L"preview=プレビュー 200×150 / （なし）" + shown},
          {L"right 迷路.scr;choose p;close プレビュー", L"preview=" + shown},
          {L"right 迷路.scr;choose p;click 終　了", L"window=ended;preview=" + shown},
          {L"right 壊れた.scr;choose p",
           L"preview=プレビュー - 壊れた.scr 200×150 / プレビューできません：" +
               Error(ErrorKind::CannotStart, L"").Text()},
          {L"key tab", L"focus=終　了"},
          {L"key tab;key tab;key tab;key tab;key tab", L"focus=" + options.substr(6)},
          {L"widen;click ", L"window=hidden"},
          {L"right 迷路.scr;choose p;widen;click ", L"window=hidden;preview=" + shown},
      },
      ZolIni(&test::ZolLines::top, L"675", L"450"));
}

// The quick switcher: each switch and the control panel end it; a replaced entry and the control
// panel save zol.ini with the window's position, an inserted entry does not. A failure leaves the
// window open. What the quick switcher does not read does not stop its start-up.
TEST_F(ProgramTest, Switcher) {
  const std::wstring star = Changed(boot + Entry(L"星空.scr") + display, L"星空.scr");
  const std::wstring none = Changed(boot + Entry(L"（なし）.scr") + display, L"");
  const std::wstring switchToStar = L"click 星空.scr に変更";
  TellOnWindow<zolswap::Form1>(
      {
          {L"", L"focus=星空.scr に変更"},
          {L"", Says(ErrorKind::FileNotFound, install.systemIni) + L";window=ended",
           Missing(install.systemIni)},
          {L"", L"", ZolIniWith(&test::ZolLines::favouriteDir, L"\\gone\\")},
          {switchToStar, L"window=ended;zol.ini=saved" + star},
          {L"key enter", L"window=ended;zol.ini=saved" + star},
          {L"click スクリーンセイバ無し", L"window=ended;zol.ini=saved" + none},
          {L"click 迷路.scr に変更",
           L"window=ended" + Changed(display + Entry(L"迷路.scr"), L"迷路.scr"),
           SystemIni(display)},
          {L"click コントロールパネル呼出", L"window=ended;zol.ini=saved" + panel},
          {L"click コントロールパネル呼出",
           Says(ErrorKind::CannotStart, L"C:\\nowhere\\control.exe"),
           ZolIniWith(&test::ZolLines::panelDirLine, L"=\\nowhere\\")},
          {switchToStar, notSaved + star, ReadOnly(install.zolIni)},
          {switchToStar,
           Says(ErrorKind::RegistryFailed, L"HKEY_CURRENT_USER\\Control Panel\\Desktop") +
               L";system.ini=" + boot + Entry(L"星空.scr") + display,
           kRegistryLocked},
          {switchToStar, refusedFixed, fixedSaver},
          {switchToStar, refusedNone, noSaver},
          {L"click スクリーンセイバ無し", L"window=ended;zol.ini=saved" + none, noSaver},
          {switchToStar, L"window=ended;zol.ini=saved" + star, Policy(L"ScreenSaveActive", L"1")},
          {L"click スクリーンセイバ無し", L"window=ended;zol.ini=saved" + none, kNamesNone},
          {L"key alt+f4", L"window=ended"},
          {L"key escape", L""},
          {L"key tab", L"focus=スクリーンセイバ無し"},
          {L"key tab;key tab;key tab", L"focus=コントロールパネル呼出"},
      },
      ZolIni(&test::ZolLines::top, L" 675 ", L" 450 "));
}

// Each program as a process of its own, the quick switcher from its command line too. Wine
// answers as Windows of the NT family, where the registry takes the entry, or, set to Windows 98,
// as the 9x family, where a switch leaves the registry alone. At 144 DPI the window is one and a
// half times as large.
TEST_F(ProgramTest, ProgramsAsProcesses) {
  const std::wstring usage = zolswap::kUsage;
  for (const wchar_t* flag : {L"/favourite", L"/none", L"/alternate", L"/pause [分]", L"/resume",
                              L"/tray", L"/wait 分", L"/lock on|off"}) {
    EXPECT_NE(usage.find(std::wstring(L"zolswap ") + flag + L"\t"), usage.npos) << flag;
  }
  const auto entry = [&](const wchar_t* saver) { return boot + Entry(saver) + display; };
  const auto paused = [](int minutes) {
    return L";session=off;icons=1;tip=スクリーンセイバー休止中（あと " + std::to_wstring(minutes) +
           L" 分）";
  };
  const std::wstring none = Changed(entry(L"（なし）.scr"), L""), on = L";session=on",
                     star = Changed(entry(L"星空.scr"), L"星空.scr");
  const Condition sessionOff = {[] { Session(L"/off"); }, {}};
  const auto refused = [&](const wchar_t* value) {
    return L"exit=1" + Says(ErrorKind::PolicyDecides, policy, value);
  };
  TellAsProcess(
      L"switcher\\zolswap.exe",
      {
          {L"close", L"width=171"},
          {L"click スクリーンセイバ無し", L"zol.ini=saved" + none},
          {L"click 星空.scr に変更", L"zol.ini=saved;system.ini=" + entry(L"星空.scr"), kWindows98},
          {L"/none", none},
          {L"-FAVOURITE", star},
          {L"/Alternate", Changed(entry(L"迷路.scr"), L"迷路.scr")},
          {L"/?", L"said=" + usage},
          {L"/off", L"exit=2;said=「/off」は使えません。\n\n" + usage},
          {L"/none /favourite", L"exit=2;said=「/none /favourite」は使えません。\n\n" + usage},
          {L"/favourite", L"exit=1" + refusedFixed, fixedSaver},
          {L"/pause", paused(60)},
          {L"/pause 5;/resume", L"exit=0 0" + on, kStoredNothing},
          {L"/pause 5;/resume", L"exit=0 0" + on, kWindows98},
          {L"/pause 5&/pause 5", L"exit=0 0" + paused(5)},
          {L"/pause 5;explorer", paused(5)},
          {L"/pause 5;/favourite", L"exit=0 0" + paused(5) + star},
          {L"/pause 5;-PAUSE 1440", L"exit=0 0" + paused(1440)},
          {L"/resume", on},
          {L"/pause 5;right icon;choose r", on},
          {L"/pause 5;right icon;choose e", paused(35)},
          {L"/tray", L"icons=1;tip=スクリーンセイバー：OLD.SCR"},
          {L"/tray;/tray", L"exit=0 0;icons=1"},
          {L"/tray;click icon;choose f", L"icons=1;tip=スクリーンセイバー：星空.scr" + star},
          {L"/tray;right icon;choose a", L"icons=1" + Changed(entry(L"迷路.scr"), L"迷路.scr")},
          {L"/tray;right icon;choose n", L"icons=1;tip=スクリーンセイバー：（なし）" + none},
          {L"/tray;right icon;choose p;choose 2", paused(120)},
          {L"/tray;right icon;choose p;choose 3;right icon;choose r", L"icons=1" + on},
          {L"/tray;right icon;choose p;choose 3;right icon;choose e", paused(60)},
          {L"/tray;/pause 5", L"exit=0 0" + paused(5)},
          {L"/pause 5;/tray", L"exit=0 0" + paused(5)},
          {L"/tray;/pause 5;/resume", L"exit=0 0 0;icons=1" + on},
          {L"/tray;/pause 5;session end", L"exit=0 0" + on},
          {L"/tray;right icon;choose w;key down;key down;key enter", L"icons=1;wait=300 0"},
          {L"/tray;right icon;choose l", L"icons=1;wait=600 1"},
          {L"/tray;right icon;choose l;key escape", L"icons=1", kWindows98},  // no lock there
          {L"/tray;right icon;choose c", L"icons=1" + panel},
          {L"/tray;right icon;choose x", L""},
          {L"/tray;right icon;choose f", L"icons=1" + Says(ErrorKind::FileNotFound, install.zolIni),
           Missing(install.zolIni)},
          {L"/wait 15", L"wait=900 0"},
          {L"/wait 15", refused(L"ScreenSaveTimeOut = 300"), Policy(L"ScreenSaveTimeOut", L"300")},
          {L"/lock ON", L"wait=600 1"},
          {L"-lock off", L"wait=600 0", {[] { SetWaitAndLock(L"600", L"1"); }, {}}},
          {L"/lock on", refused(L"ScreenSaverIsSecure = 0"), Policy(L"ScreenSaverIsSecure", L"0")},
          {L"/lock on", L"exit=1" + Says(ErrorKind::NotOnThisWindows, L"", L"ScreenSaverIsSecure"),
           kWindows98},
          {L"/pause 1430;right icon;choose e", paused(1440)},
          {L"/pause 5;session end", on},
          {L"/pause 5;/none;/resume", L"exit=0 0 0;session=off" + none},
          {L"/pause", L"exit=1;session=off" + Says(ErrorKind::NothingToPause, L""), sessionOff},
          {L"/pause", L"exit=1" + refusedFixed, fixedSaver},
          {L"/pause", refused(L"ScreenSaveActive = 1"), Policy(L"ScreenSaveActive", L"1")},
          {L"/pause 1441", L"exit=2;said=「/pause 1441」は使えません。\n\n" + usage},
          {L"/pause 0", L"exit=2;said=「/pause 0」は使えません。\n\n" + usage},
          {L"-pause 5 6", L"exit=2;said=「-pause 5 6」は使えません。\n\n" + usage},
          {L"/wait 10000", L"exit=2;said=「/wait 10000」は使えません。\n\n" + usage},
          {L"/lock maybe", L"exit=2;said=「/lock maybe」は使えません。\n\n" + usage},
      });
  TellAsProcess(L"configurator\\zolset.exe",
                {
                    {L"click 変　更;key alt+f4",
                     L";session=off" + Changed(boot + L"SCRNSAVE.EXE=（なし）\r\n" + display, L"")},
                    {L"close", L"width=605", Dpi(144)},
                    // Killed, it takes the preview's screen saver with it.
                    {L"right 迷路.scr;choose p;kill",
                     L"exit=1;running=" + Started(Saver(L"迷路.scr"), L" /p ZolPicture")},
                });
}

// The resident icon's menu as it opens, under each condition: each item by its mnemonic, after "*"
// where it is checked and "-" where it is greyed, the wait's submenu with its checked item and
// how many it has. (Windows 98, which has no lock, is told on the icon as a process of its own.)
TEST_F(ProgramTest, TrayMenu) {
  const auto marks = [](HMENU menu) {
    std::wstring seen;
    wchar_t text[64];
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
      if (!GetMenuStringW(menu, i, text, 64, MF_BYPOSITION)) continue;  // a separator
      seen += std::wstring(state & MF_CHECKED ? L" *" : L" ") + (state & MF_GRAYED ? L"-" : L"") +
              wcschr(text, L'&')[1];
      const HMENU wait = *text == L'待' ? GetSubMenu(menu, i) : nullptr;
      for (int j = 0; wait && j < GetMenuItemCount(wait); ++j) {
        if (GetMenuState(wait, j, MF_BYPOSITION) & MF_CHECKED &&
            GetMenuStringW(wait, j, text, 64, MF_BYPOSITION)) {
          seen += L"(" + std::wstring(text) + L"/" + std::to_wstring(GetMenuItemCount(wait)) + L")";
        }
      }
    }
    return seen;
  };
  const Condition wait7 = {[] { zol::SetScreenSaverWait(420), SetWaitAndLock(L"420", L"1"); },
                           [] { zol::SetScreenSaverWait(600); }};
  const std::tuple<Condition, bool, const wchar_t*> rows[] = {
      {{}, false, L" F A N P W(10 分/7) L C X"},
      {{}, true, L" F A N R E W(10 分/7) L C X"},
      {{[&] { WriteDesktop(Saver(L"星空.scr"), L"1"); }, {}}, false, L" *F A N P W(10 分/7) L C X"},
      {kNamesNone, false, L" F A *N P W(10 分/7) L C X"},
      {fixedSaver, false, L" -F -A -N -P W(10 分/7) L C X"},
      {noSaver, false, L" -F -A N -P W(10 分/7) L C X"},
      {Policy(L"ScreenSaveActive", L"1"), false, L" F A N -P W(10 分/7) L C X"},
      {Policy(L"ScreenSaveTimeOut", L"60"), false, L" F A N P -W(10 分/7) L C X"},
      {Policy(L"ScreenSaverIsSecure", L"1"), false, L" F A N P W(10 分/7) -L C X"},
      {wait7, false, L" F A N P W(7 分/8) *L C X"},
  };
  for (const auto& [condition, paused, expected] : rows) {
    WriteDesktop(L"C:\\OLD.SCR", L"1");
    SetWaitAndLock(L"600", L"0");
    if (condition.set) condition.set();
    EXPECT_EQ(marks(zolswap::TrayMenu(install.zolIni, paused).get()), expected);
    if (condition.undo) condition.undo();
  }
}

// A pause ends by itself at its time, and its tooltip counts the minutes down as they pass; given a
// time anew, it takes that.
TEST_F(ProgramTest, PauseEndsByItself) {
  test::SetRegistryText(kDesktop, L"ScreenSaveActive", L"1");
  Session(L"/on");
  app::PauseLock lock;
  ASSERT_TRUE(lock.Take(0));
  zolswap::Resident pause(lock, std::nullopt);
  pause.Pause(std::chrono::milliseconds(60300));
  std::wstring seen = Session() + IconTip();
  for (MSG m; MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT) == WAIT_OBJECT_0;) {
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }
  EXPECT_EQ(seen + IconTip(),
            L"offスクリーンセイバー休止中（あと 2 分）スクリーンセイバー休止中（あと 1 分）");
  pause.Pause(std::chrono::milliseconds(300));
  pause.Wait();
  EXPECT_EQ(Session(), L"on");
}

// A control's Change runs once for each new value, whether the program or the user sets it, and
// not at all for the value it already has. A load handler that ends the program shows no window;
// whatever else a handler throws reaches the error report. Where the DPI functions of Windows 10
// are missing, each answers at the system's DPI.
TEST(FormTest, Events) {
  forms::Form form{{L"t", 6000, 6000, app::kGrey, forms::Frame::Sizable}};
  forms::TextBox text{form, {L"", {0, 0, 2000, 300}, 0}};
  forms::DriveList drives{form, {{0, 600, 2000, 300}, 1}};
  forms::DirList folders{form, {{0, 1200, 2000, 2000}, 2}};
  int changes = 0;
  text.Change = drives.Change = folders.Change = [&] { ++changes; };
  const std::pair<std::function<void()>, int> cases[] = {
      {[&] { text.SetText(L"a"); }, 1},
      {[&] { text.SetText(L"a"); }, 0},
      {[&] { SendMessageW(text.Handle(), WM_CHAR, L'b', 1); }, 1},
      {[&] { drives.SetDrive(L"c:"); }, 1},
      {[&] { drives.SetDrive(L"C:\\"); }, 0},
      {[&] { Acts(form.Handle(), L"drive z", true); }, 1},
      {[&] { folders.SetPath(L"C:\\windows"); }, 1},
      {[&] { folders.SetPath(L"C:\\windows\\"); }, 0},
  };
  drives.SetDrive(L"z:");  // from any drive but C:
  for (const auto& [act, expected] : cases) {
    changes = 0;
    act();
    EXPECT_EQ(changes, expected) << "case " << &act - &cases[0].first;
  }
  std::vector<std::wstring> said;
  form.ReportError = [&](const Error& e) { said.push_back(e.Text()); };
  form.Dispatch([] { throw std::length_error("vector"); });
  EXPECT_EQ(said, std::vector{Error(ErrorKind::Unexpected, L"", L"vector").Text()});
  form.Load = forms::EndProgram;
  EXPECT_FALSE(form.Open() || IsWindowVisible(form.Handle()));

  const forms::DpiFunctions missing(GetModuleHandleW(L"kernel32.dll"));
  RECT frame = {0, 0, 100, 100}, classic = frame;
  missing.AdjustFrame(frame, WS_OVERLAPPEDWINDOW, 0, 144);
  AdjustWindowRectEx(&classic, WS_OVERLAPPEDWINDOW, FALSE, 0);
  EXPECT_EQ(
      std::tuple(missing.ForWindow(form.Handle()), frame.top, missing.MessageFont(144).lfHeight),
      std::tuple(96u, classic.top,
                 MulDiv(forms::DpiFunctions::System().MessageFont(96).lfHeight, 3, 2)));
}

// A file at a drive's root, and names that begin with a backslash.
TEST(ComposeChosenPathTest, JoinsWithOneBackslash) {
  const auto join = zolset::ComposeChosenPath;
  EXPECT_EQ(join(L"C:\\", L"a.scr") + L" " + join(L"C:\\S", L"\\a.scr") + L" " +
                join(L"C:\\", L"\\a.scr"),
            L"C:\\a.scr C:\\S\\a.scr C:\\\\a.scr");
}

struct FakeMachine : zolinit::Machine {
  bool ntFamily = true;
  Path windowsFolder;
  std::wstring setting;
  std::vector<std::wstring> files;

  bool IsNtFamily() const override { return ntFamily; }
  Path WindowsFolder() const override { return windowsFolder; }
  Path SystemFolder() const override { return L"D:\\WINNT\\System32"; }
  std::wstring ScreenSaverSetting() const override { return setting; }
  std::vector<std::wstring> ScreenSaverFiles(const Path&) const override { return files; }
};

// The NT family gets a system.ini of its own beside zol.ini, naming the registry's screen saver;
// the 9x family's zol.ini names Windows' own. The favourite is the current screen saver when it is
// the system folder's, else the first there; the alternate is the next (after the last, the
// first). A path or a name that code page 932 cannot hold writes nothing; a zol.ini that is there
// is kept.
TEST(InitialSettingsTest, WritesZolIniForTheMachine) {
  test::ScratchFolder scratch;
  FakeMachine machine;
  machine.windowsFolder = (scratch / "WINDOWS").wstring();
  std::filesystem::create_directories(machine.windowsFolder);
  const std::vector<std::wstring> three = {L"星空.scr", L"Maze.scr", L"blank.scr"};
  struct Case {
    bool ntFamily;
    const wchar_t* current;
    std::vector<std::wstring> files;
    const wchar_t* favourite;  // nothing when nothing can be written
    const wchar_t* alternate;
  };
  const Case cases[] = {
      {true, L"d:\\winnt\\system32\\MAZE.SCR", three, L"Maze.scr", L"星空.scr"},
      {true, L"D:\\WINNT\\System32\\星空.scr", three, L"星空.scr", L"blank.scr"},
      {true, L"C:\\Other\\Maze.scr", three, L"blank.scr", L"Maze.scr"},
      {true, L"", {L"a=b.scr"}, L"a=b.scr", L""},
      {true, L"D:\\WINNT\\System32\\Maze.scr", {}, L"", L""},
      {false, L"D:\\WINNT\\SYSTEM32\\MAZE.SCR", three, L"Maze.scr", L"星空.scr"},
      {true, L"D:\\Zoë\\a.scr", {}, nullptr, nullptr},
      {true, L"", {L"a.scr", L"ë.scr"}, nullptr, nullptr},
      {true, L"", {}, nullptr, nullptr},  // the last, in a folder named Zoë
  };
  for (const Case& c : cases) {
    const std::filesystem::path folder = scratch / (L"設定 a=b " + std::to_wstring(&c - cases) +
                                                    (&c == std::end(cases) - 1 ? L"Zoë" : L""));
    machine.ntFamily = c.ntFamily;
    machine.setting = c.ntFamily ? c.current : L"";
    machine.files = c.files;
    const std::string entry = "SCRNSAVE.EXE=" + (c.favourite ? test::Cp932(c.current) : "");
    test::WriteBytes(std::filesystem::path(machine.windowsFolder) / "system.ini",
                     c.ntFamily ? "" : "[boot]\r\n" + entry + "\r\n");
    if (!c.favourite) {
      EXPECT_EQ(test::ErrorOf([&] { zolinit::WriteInitialSettings(folder, machine); }).Kind(),
                ErrorKind::NotRepresentable);
      EXPECT_FALSE(std::filesystem::exists(folder));
      continue;
    }
    EXPECT_EQ(zolinit::WriteInitialSettings(folder, machine).size(), c.ntFamily ? 2u : 1u);
    const std::filesystem::path systemIniFolder =
        c.ntFamily ? folder : std::filesystem::path(machine.windowsFolder);
    EXPECT_EQ(
        ReadBytes(folder / "zol.ini"),
        test::ZolIniBytes({systemIniFolder.root_name().wstring(), test::DirOf(systemIniFolder),
                           L"D:", L"\\WINNT\\System32\\", L"コントロールパネルのあるドライブ=D:",
                           L"コントロールパネルのあるディレクトリ=\\WINNT\\System32\\", c.favourite,
                           c.alternate, L" 1440 ", L" 2160 "}));
    EXPECT_EQ(ReadBytes(folder / "system.ini"),
              c.ntFamily ? "[boot]\r\n*DisplayFallback=0\r\n" + entry + "\r\n" : "");
    EXPECT_TRUE(zolinit::WriteInitialSettings(folder, machine).empty());
  }
}

// The setup program end to end: a silent installation, each program started from its shortcut (the
// pause too), a silent uninstallation that keeps the settings, and a second installation that keeps
// them too, with the option to start resident at sign-in.
TEST(SetupTest, InstallsStartsAndUninstalls) {
  ASSERT_TRUE(_wgetenv(L"ZOL_SETUP")) << "the test command gives the setup program";
  const fs::path setup = _wgetenv(L"ZOL_SETUP");
  const fs::path programs = fs::path(_wgetenv(L"LOCALAPPDATA")) / "Programs" / "ZOL";
  const fs::path settings = fs::path(_wgetenv(L"APPDATA")) / "ZOL";
  const fs::path startMenu = settings.parent_path() / "Microsoft/Windows/Start Menu/Programs";
  const fs::path zolIni = settings / "zol.ini", systemIni = settings / "system.ini";
  const fs::path tray = startMenu / L"Startup" / L"ZOL 常駐.lnk";
  wchar_t system[MAX_PATH];
  const fs::path systemFolder = std::wstring(system, GetSystemDirectoryW(system, MAX_PATH));
  const wchar_t* savers[] = {L"迷路.scr", L"星空.scr", L"流星.scr"};
  // The current screen saver is none of the system folder's: the first there is the favourite.
  // The screen savers are the fake program, which tells in a scratch folder that it was started.
  for (const wchar_t* name : savers) {
    fs::copy_file(fs::path(_pgmptr).parent_path() / "fake_program.exe", systemFolder / name,
                  fs::copy_options::overwrite_existing);
  }
  const test::ScratchFolder scratch;
  _wputenv_s(L"ZOL_STARTED", (scratch / "started.txt").c_str());
  test::SetRegistryText(kDesktop, L"SCRNSAVE.EXE", L"C:\\elsewhere\\old.scr");
  fs::remove_all(settings);  // what an earlier run kept

  ASSERT_EQ(test::Launch(setup, L"/S", {}), 0u);
  EXPECT_TRUE(fs::exists(programs / "README.txt") && fs::exists(programs / "LICENSE.txt") &&
              !fs::exists(tray));
  // The favourite, the alternate and system.ini show in what the programs do below.
  EXPECT_EQ(ControlPanelCommand(ReadSettings(zolIni, SettingsForm::QuickSwitcher)),
            (systemFolder / "control.exe").wstring());
  EXPECT_EQ(ReadBytes(systemIni),
            "[boot]\r\n*DisplayFallback=0\r\nSCRNSAVE.EXE=C:\\elsewhere\\old.scr\r\n");

  // Each program starts from its shortcut in the settings' folder; the configurator previews a
  // screen saver from its file list's menu.
  EXPECT_EQ(
      test::Launch(startMenu / L"ZOL 設定.lnk", nullptr, {},
                   [](HWND window) { Acts(window, L"right 星空.scr;choose p;close", false); }),
      0u);
  EXPECT_EQ(test::Started(scratch / "started.txt", 2),
            L"\"" + (systemFolder / L"星空.scr").wstring() + L"\" /p ZolPicture\nend\n");
  EXPECT_EQ(test::Launch(startMenu / L"ZOL 切替.lnk", nullptr, {},
                         [](HWND window) { Acts(window, L"click 星空.scr に変更", false); }),
            0u);
  const std::wstring favourite = (systemFolder / L"星空.scr").wstring();
  EXPECT_EQ(ReadBytes(systemIni),
            "[boot]\r\n*DisplayFallback=0\r\nSCRNSAVE.EXE=" + test::Cp932(favourite) + "\r\n");
  EXPECT_EQ(test::RegistryText(kDesktop, L"SCRNSAVE.EXE"), favourite);
  // The installed quick switcher switches from its command line too, in the settings' folder.
  EXPECT_EQ(test::Launch(programs / "zolswap.exe", L"/alternate", settings), 0u);
  EXPECT_EQ(test::RegistryText(kDesktop, L"SCRNSAVE.EXE"), (systemFolder / L"流星.scr").wstring());
  // The pause's shortcut pauses for an hour; closed, the pause ends.
  EXPECT_EQ(test::Launch(
                startMenu / L"ZOL 休止 (60分).lnk", nullptr, {},
                [&](HWND pause) {
                  EXPECT_EQ(IconTip(), L"スクリーンセイバー休止中（あと 60 分）");
                  PostMessageW(pause, WM_CLOSE, 0, 0);
                },
                L"ZolIcon"),
            0u);

  const std::string used = ReadBytes(zolIni);
  // The uninstaller runs on from a copy of itself; removing its folder is the last thing it does.
  const auto uninstall = [&] {
    EXPECT_EQ(test::Launch(programs / "uninstall.exe", L"/S", {}), 0u);
    for (int i = 0; i < 600 && fs::exists(programs); ++i) Sleep(100);
  };
  uninstall();
  EXPECT_FALSE(fs::exists(programs) || fs::exists(startMenu / L"ZOL 切替.lnk") ||
               fs::exists(startMenu / L"ZOL 休止 (60分).lnk"));
  // With the option, the quick switcher starts resident at sign-in, in the settings' folder, where
  // its menu switches to the favourite.
  ASSERT_EQ(test::Launch(setup, L"/S /tray", {}), 0u);
  EXPECT_EQ(ReadBytes(zolIni), used);
  EXPECT_EQ(test::Launch(
                tray, nullptr, {},
                [](HWND icon) { Acts(icon, L"right icon;choose f;close", false); }, L"ZolIcon"),
            0u);
  EXPECT_EQ(test::RegistryText(kDesktop, L"SCRNSAVE.EXE"), favourite);
  uninstall();
  EXPECT_FALSE(fs::exists(tray));
  for (const wchar_t* name : savers) fs::remove(systemFolder / name);
}

}  // namespace
}  // namespace zol
