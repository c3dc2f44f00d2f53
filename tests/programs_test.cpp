// The two programs' windows on a scratch installation, the window layer beneath them, each program
// run as a process of its own, and the installation: the writer of zol.ini and the setup program.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <optional>

#include "configurator.h"
#include "initial_settings.h"
#include "installation.h"
#include "settings.h"
#include "switcher.h"

namespace zol {
namespace {
namespace fs = std::filesystem;
using test::Cp932;
using test::ReadBytes;

// A text value under HKEY_CURRENT_USER; nothing for one that is absent, which setting deletes.
using Text = std::optional<std::wstring>;

Text RegistryText(const wchar_t* key, const wchar_t* name) {
  wchar_t text[1024];
  DWORD size = sizeof text;
  return RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, text, &size) ? Text()
                                                                                         : text;
}

void SetRegistryText(const wchar_t* key, const wchar_t* name, const Text& text) {
  text ? RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, text->c_str(),
                         static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t)))
       : RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
}

// The screen saver that Windows of the NT family keeps for the user, and ScreenSaveActive.
constexpr const wchar_t* kDesktop = L"Control Panel\\Desktop";
using Desktop = std::pair<Text, Text>;
const Desktop kBefore = {L"C:\\OLD.SCR", L""};  // before each change

void WriteDesktop(const Desktop& values) {
  SetRegistryText(kDesktop, L"SCRNSAVE.EXE", values.first);
  SetRegistryText(kDesktop, L"ScreenSaveActive", values.second);
}

// zol.ini, system.ini and the registry values.
using State = std::tuple<std::string, std::string, Desktop>;

// Sends the form the notification that Win32 sends for a user's action on a control.
void Notify(HWND control, WORD code) {
  SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
               reinterpret_cast<LPARAM>(control));
}

// Opens a program or a shortcut as the shell does, in the folder given (a shortcut names its own),
// acts on its window once the window waits for input, and waits for the end; the exit code.
DWORD Launch(const fs::path& file, const wchar_t* arguments, const fs::path& folder,
             const std::function<void(HWND form)>& act = {}) {
  // What the tests start ends with them, and so never keeps their output open.
  static const HANDLE job = [] {
    const HANDLE created = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limit{};
    limit.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limit, sizeof limit);
    AssignProcessToJobObject(created, GetCurrentProcess());
    return created;
  }();
  SHELLEXECUTEINFOW run{};
  run.cbSize = sizeof run;
  run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
  run.lpFile = file.c_str();
  run.lpParameters = arguments;
  run.lpDirectory = folder.empty() ? nullptr : folder.c_str();
  if (!job || !ShellExecuteExW(&run)) return ADD_FAILURE() << file, 1;
  HANDLE process = run.hProcess;  // none for a shortcut: the window's process then
  HWND form = nullptr;
  for (int i = 0; act && i < 200 && !(form = FindWindowW(L"ZolForm", nullptr)); ++i) Sleep(100);
  if (form) {
    DWORD id = 0;
    GetWindowThreadProcessId(form, &id);
    if (!process) process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, 0, id);
    WaitForInputIdle(process, 20000);
    act(form);
  }
  DWORD code = 1;
  EXPECT_TRUE(process && !WaitForSingleObject(process, 60000)) << file;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code;
}

// A program's window on a scratch installation, its error reports recorded. The registry values
// that the programs write are put back afterwards.
class ProgramTest : public ::testing::Test {
 protected:
  ~ProgramTest() override { WriteDesktop(kept_); }

  // Creates the window and runs its start-up.
  template <class Window>
  Window& Start() {
    auto window = std::make_shared<Window>(install.zolIni);
    form = std::shared_ptr<forms::Form>(window, &window->form);
    kinds.clear();
    form->ReportError = [this](const Error& e) {
      kinds.push_back(e.Kind());
      text = e.Text();
    };
    form->Open();
    return *window;
  }

  // Writes zol.ini and system.ini, and the registry values as before a change.
  void Write(const std::string& zolIni, const std::string& systemIni) {
    test::WriteBytes(install.zolIni, zolIni);
    test::WriteBytes(install.systemIni, systemIni);
    WriteDesktop(kBefore);
  }
  State Now() const {
    return {ReadBytes(install.zolIni),
            ReadBytes(install.systemIni),
            {RegistryText(kDesktop, L"SCRNSAVE.EXE"), RegistryText(kDesktop, L"ScreenSaveActive")}};
  }
  // zol.ini with the position lines given.
  std::string ZolIniAt(const wchar_t* top, const wchar_t* left) const {
    test::ZolLines lines = install.lines;
    lines.top = top;
    lines.left = left;
    return test::ZolIniBytes(lines);
  }
  std::wstring Saver(const wchar_t* name) const { return (install.savers / name).wstring(); }
  std::string Entry(const wchar_t* s) const { return Cp932(L"SCRNSAVE.EXE=" + Saver(s)) + "\r\n"; }

  test::Installation install;
  const Desktop kept_ = std::get<2>(Now());
  std::shared_ptr<forms::Form> form;  // of the window, which it keeps
  std::vector<ErrorKind> kinds;
  std::wstring text;  // of the last error report
};

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
  fs::create_directories(machine.windowsFolder);
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
    const fs::path folder = scratch / (L"設定 a=b " + std::to_wstring(&c - cases) +
                                       (&c == std::end(cases) - 1 ? L"Zoë" : L""));
    machine.ntFamily = c.ntFamily;
    machine.setting = c.ntFamily ? c.current : L"";
    machine.files = c.files;
    const std::string entry = "SCRNSAVE.EXE=" + (c.favourite ? Cp932(c.current) : "");
    test::WriteBytes(fs::path(machine.windowsFolder) / "system.ini",
                     c.ntFamily ? "" : "[boot]\r\n" + entry + "\r\n");
    if (!c.favourite) {
      EXPECT_EQ(test::ErrorOf([&] { zolinit::WriteInitialSettings(folder, machine); }).Kind(),
                ErrorKind::NotRepresentable);
      EXPECT_FALSE(fs::exists(folder));
      continue;
    }
    EXPECT_EQ(zolinit::WriteInitialSettings(folder, machine).size(), c.ntFamily ? 2u : 1u);
    const fs::path systemIniFolder = c.ntFamily ? folder : fs::path(machine.windowsFolder);
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

TEST(ComposeChosenPathTest, JoinsWithOneBackslash) {
  const wchar_t* cases[][3] = {{L"C:\\", L"a.scr", L"C:\\a.scr"},
                               {L"C:\\S", L"\\a.scr", L"C:\\S\\a.scr"},
                               {L"C:\\", L"\\a.scr", L"C:\\\\a.scr"}};
  for (const auto& c : cases) EXPECT_EQ(zolset::ComposeChosenPath(c[0], c[1]), c[2]);
}

// A control's Change runs once for each new value, whether the program or the user sets it, and
// not at all for the value it already has. A load handler that ends the program shows no window.
TEST(FormTest, Events) {
  forms::Form form{{L"t", 6000, 6000, forms::kGrey, forms::Frame::Sizable}};
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
      {[&] { Notify(drives.Handle(), CBN_SELCHANGE); }, 1},
      {[&] { folders.SetPath(L"C:\\windows"); }, 1},
      {[&] { folders.SetPath(L"C:\\windows\\"); }, 0},
  };
  drives.SetDrive(L"z:");  // from any drive but C:
  for (const auto& [act, expected] : cases) {
    changes = 0;
    act();
    EXPECT_EQ(changes, expected) << "case " << &act - &cases[0].first;
  }
  form.Load = forms::EndProgram;
  EXPECT_FALSE(form.Open() || IsWindowVisible(form.Handle()));
}

// Either program's start-up writes nothing. One that fails shows no window; what the quick
// switcher does not read does not stop it. A window shows whole on the work area, from a position
// stored off every screen (a monitor that is gone) too.
TEST_F(ProgramTest, StartUp) {
  const std::string zolIni = ReadBytes(install.zolIni), systemIni = ReadBytes(install.systemIni);
  test::ZolLines gone = install.lines;
  gone.favouriteDir += L"gone\\";
  struct Case {
    std::string zolIni, systemIni;    // an empty file is removed
    std::vector<ErrorKind> kinds[2];  // zolset's, zolswap's
  };
  const Case cases[] = {
      {"", systemIni, {{ErrorKind::FileNotFound}, {ErrorKind::FileNotFound}}},
      {zolIni, "", {{ErrorKind::FileNotFound}, {ErrorKind::FileNotFound}}},
      {test::ZolIniBytes(gone), systemIni, {{ErrorKind::CannotReadFolder}, {}}},
      {ZolIniAt(L" -1500 ", L"60000"), systemIni, {}},
  };
  for (const Case& c : cases) {
    for (const bool switcher : {false, true}) {
      SCOPED_TRACE(testing::Message() << "case " << &c - cases << (switcher ? " zolswap" : ""));
      Write(c.zolIni, c.systemIni);
      for (const fs::path* file : {&install.zolIni, &install.systemIni})
        if (fs::is_empty(*file)) fs::remove(*file);
      switcher ? (void)Start<zolswap::Form1>() : (void)Start<zolset::Form1>();
      const bool fails = !c.kinds[switcher].empty();
      EXPECT_EQ(std::tuple(kinds, IsWindowVisible(form->Handle()) != 0, Now()),
                std::tuple(c.kinds[switcher], !fails, State(c.zolIni, c.systemIni, kBefore)));
      RECT frame, work, inside;
      GetWindowRect(form->Handle(), &frame);
      SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
      EXPECT_TRUE(fails || (IntersectRect(&inside, &frame, &work) && EqualRect(&inside, &frame)));
    }
  }
}

// An apply rewrites system.ini and the registry and saves zol.ini with the window's position;
// after a replaced entry the configurator stays open and shows the entry as system.ini now names
// it, after an inserted one the program ends. A failed apply leaves everything as it was. A picked
// file gives the apply button the focus. At start-up the configurator shows the entry that
// system.ini names, "（なし）" for one that names no screen saver, or its designed caption when
// there is none. A drive whose folder cannot be read changes nothing: the drive list goes back to
// the drive of the shown folder (the test command maps Q: to a folder that does not exist).
TEST_F(ProgramTest, Configurator) {
  const std::string zolIni = ReadBytes(install.zolIni), moved = ZolIniAt(L"675", L"450");
  const std::string boot = "[boot]\r\n", old = boot + "SCRNSAVE.EXE=C:\\OLD.TXT\r\n";
  const std::string fallback = "[display]\r\nDisplayFallback=1\r\n";
  const std::wstring maze = Saver(L"迷路.scr"), none = L"なし　［画面の設定で変更して下さい］";
  struct Case {
    std::string systemIni;
    std::wstring atStart;  // Label5's caption at start-up
    // The errors reported, whether the program ended, Label5's caption, and the state.
    std::tuple<std::vector<ErrorKind>, bool, std::wstring, State> after;
  };
  const Case cases[] = {
      {old, L"（なし）", {{}, false, maze, {moved, boot + Entry(L"迷路.scr"), {maze, L"1"}}}},
      {fallback, none, {{}, true, none, {moved, fallback + Entry(L"迷路.scr"), {maze, L"1"}}}},
      {boot, none, {{ErrorKind::NoPlaceForEntry}, false, none, {zolIni, boot, kBefore}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    Write(zolIni, c.systemIni);
    zolset::Form1& w = Start<zolset::Form1>();
    EXPECT_EQ(w.Label5.Caption(), c.atStart);
    SetWindowPos(form->Handle(), nullptr, 30, 45, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetFocus(w.File1.Handle());
    SendMessageW(w.File1.Handle(), LB_SETCURSEL, 1, 0);  // 迷路.scr
    Notify(w.File1.Handle(), LBN_SELCHANGE);
    EXPECT_EQ(GetFocus(), w.Command1.Handle());
    SendMessageW(w.Command1.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(std::tuple(kinds, form->Ended(), w.Label5.Caption(), Now()), c.after);
  }
  if (!(GetLogicalDrives() & (1 << ('Q' - 'A')))) GTEST_SKIP() << "no Wine test drive Q:";
  const zolset::Form1& w = Start<zolset::Form1>();
  const std::wstring drive = w.Drvlist.Drive();
  const HWND list = w.Drvlist.Handle();
  SendMessageW(list, CB_SETCURSEL, SendMessageW(list, CB_FINDSTRING, -1, LPARAM(L"q:")), 0);
  Notify(list, CBN_SELCHANGE);
  EXPECT_EQ(std::tuple(kinds.size(), w.Drvlist.Drive(), w.Dirlist.Path()),
            std::tuple(0u, drive, install.savers.wstring()));
}

// The focus starts on the first button and Tab goes through the buttons in order. At 144 DPI each
// control is one and a half times as large. A save of zol.ini that fails after system.ini was
// rewritten leaves the window open and says that the screen saver was changed. Whatever else a
// handler throws reaches the error report too.
TEST_F(ProgramTest, Switcher) {
  test::WriteBytes(install.systemIni, "SCRNSAVE.EXE=a.scr\r\n");
  const std::string zolIni = ReadBytes(install.zolIni);
  const zolswap::Form1& w = Start<zolswap::Form1>();
  HWND focus = GetFocus();
  for (const auto* button : {&w.Command1, &w.Command2, &w.Command3, &w.Command4, &w.Command1}) {
    EXPECT_EQ(focus, button->Handle());
    focus = GetNextDlgTabItem(form->Handle(), focus, FALSE);
  }
  RECT before, after, suggested;
  GetWindowRect(w.Command4.Handle(), &before);
  GetWindowRect(form->Handle(), &suggested);
  SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), LPARAM(&suggested));
  GetWindowRect(w.Command4.Handle(), &after);
  EXPECT_NEAR(after.right - after.left, (before.right - before.left) * 3 / 2, 1);

  SetFileAttributesW(install.zolIni.c_str(), FILE_ATTRIBUTE_READONLY);
  SendMessageW(w.Command3.Handle(), BM_CLICK, 0, 0);
  SetFileAttributesW(install.zolIni.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(!form->Ended() && IsWindowVisible(form->Handle()));
  EXPECT_EQ(Now(), State(zolIni, Entry(L"迷路.scr"), {Saver(L"迷路.scr"), L"1"}));
  EXPECT_NE(text.find(L"スクリーンセイバーは変更しましたが"), std::wstring::npos);
  form->Dispatch([] { throw std::length_error("vector"); });
  EXPECT_EQ(kinds, (std::vector{ErrorKind::AccessDenied, ErrorKind::Unexpected}));
}

// Each program as a process of its own, driven from outside as the mouse and keyboard of a user and
// a session that ends drive it. Each switch ends the quick switcher; a replaced entry saves zol.ini
// with the window's position, an inserted one does not, and the control panel's button saves it
// too. Wine answers as Windows of the NT family, where the registry takes the entry, or, set to
// Windows 98, as the 9x family, where a switch leaves the registry alone.
TEST_F(ProgramTest, ProgramsAsProcesses) {
  const fs::path built = fs::path(_pgmptr).parent_path().parent_path();
  fs::copy_file(built / "tests" / "control.exe", install.folder / "control.exe");
  // The fake control panel (tests/fake_control.cpp) sets this event.
  const HANDLE started = CreateEventW(nullptr, FALSE, FALSE, L"zol-control-started");
  const std::string zolIni = ReadBytes(install.zolIni), saved = ZolIniAt(L" 1500 ", L" 3000 ");
  const std::string boot = "[boot]\r\n", replaced = boot + "SCRNSAVE.EXE=a.scr\r\n",
                    inserted = boot + "DisplayFallback=0\r\n";
  const std::wstring maze = Saver(L"迷路.scr");
  const std::string none = boot + Entry(L"（なし）.scr"),
                    nothing = boot + Cp932(L"SCRNSAVE.EXE=（なし）\r\n");
  const wchar_t *swap = L"switcher\\zolswap.exe", *set = L"configurator\\zolset.exe";
  struct Case {
    const wchar_t* program;
    // The buttons clicked, nothing for Alt+F4; none at all: WM_CLOSE instead.
    std::vector<const wchar_t*> clicks;
    std::string systemIni;
    State after;
    Text windowsVersion = {};
  };
  const Case cases[] = {
      {swap, {}, replaced, {zolIni, replaced, kBefore}},
      {swap, {L"スクリーンセイバ無し"}, replaced, {saved, none, {{}, L"0"}}},
      {swap, {L"星空.scr に変更"}, replaced, {saved, boot + Entry(L"星空.scr"), kBefore}, L"win98"},
      {swap, {L"迷路.scr に変更"}, inserted, {zolIni, inserted + Entry(L"迷路.scr"), {maze, L"1"}}},
      {swap, {L"コントロールパネル呼出"}, replaced, {saved, replaced, kBefore}},
      {set, {L"変　更", nullptr}, replaced, {zolIni, nothing, {{}, L"0"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    SetRegistryText(L"Software\\Wine", L"Version", c.windowsVersion);  // the test prefix has none
    Write(zolIni, c.systemIni);
    Launch(built / c.program, nullptr, install.folder.Path(), [&](HWND window) {
      if (c.clicks.empty()) SendMessageW(window, WM_CLOSE, 0, 0);
      for (const wchar_t* button : c.clicks) {
        button ? test::PostClick(window, button)
               : (void)PostMessageW(window, WM_SYSKEYDOWN, VK_F4, 1 << 29);
      }
    });
    EXPECT_EQ(Now(), c.after);
  }
  EXPECT_EQ(WaitForSingleObject(started, 20000), WAIT_OBJECT_0);
}

// The setup program end to end: a silent installation, each program started from its shortcut,
// and a silent uninstallation that keeps the settings.
TEST_F(ProgramTest, Setup) {
  ASSERT_TRUE(_wgetenv(L"ZOL_SETUP")) << "the test command gives the setup program";
  const fs::path setup = _wgetenv(L"ZOL_SETUP");
  const fs::path programs = fs::path(_wgetenv(L"LOCALAPPDATA")) / "Programs" / "ZOL";
  const fs::path settings = fs::path(_wgetenv(L"APPDATA")) / "ZOL";
  const fs::path startMenu = settings.parent_path() / "Microsoft/Windows/Start Menu/Programs";
  const fs::path zolIni = settings / "zol.ini", systemIni = settings / "system.ini";
  wchar_t system[MAX_PATH];
  const fs::path systemFolder = std::wstring(system, GetSystemDirectoryW(system, MAX_PATH));
  const wchar_t* savers[] = {L"迷路.scr", L"星空.scr", L"流星.scr"};
  // The current screen saver is none of the system folder's: the first there is the favourite.
  for (const wchar_t* name : savers) test::WriteBytes(systemFolder / name, "");
  SetRegistryText(kDesktop, L"SCRNSAVE.EXE", L"C:\\elsewhere\\old.scr");
  fs::remove_all(settings);  // what an earlier run kept

  ASSERT_EQ(Launch(setup, L"/S", {}), 0u);
  EXPECT_TRUE(fs::exists(programs / "README.txt") && fs::exists(programs / "LICENSE.txt"));
  const Settings read = ReadSettings(zolIni, SettingsForm::QuickSwitcher);
  EXPECT_EQ(SystemIniPath(read), systemIni);
  EXPECT_EQ(ControlPanelCommand(read), (systemFolder / "control.exe").wstring());
  EXPECT_EQ(ValueText(read.FavouriteName) + L" " + ValueText(read.AlternateName),
            L"星空.scr 流星.scr");
  EXPECT_EQ(ReadBytes(systemIni),
            "[boot]\r\n*DisplayFallback=0\r\nSCRNSAVE.EXE=C:\\elsewhere\\old.scr\r\n");

  // Each program starts from its shortcut in the settings' folder.
  EXPECT_EQ(Launch(startMenu / L"ZOL 設定.lnk", nullptr, {},
                   [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }),
            0u);
  EXPECT_EQ(Launch(startMenu / L"ZOL 切替.lnk", nullptr, {},
                   [](HWND window) { test::PostClick(window, L"星空.scr に変更"); }),
            0u);
  const std::wstring favourite = (systemFolder / L"星空.scr").wstring();
  EXPECT_EQ(ReadBytes(systemIni),
            "[boot]\r\n*DisplayFallback=0\r\nSCRNSAVE.EXE=" + Cp932(favourite) + "\r\n");
  EXPECT_EQ(RegistryText(kDesktop, L"SCRNSAVE.EXE"), favourite);

  EXPECT_EQ(Launch(programs / "uninstall.exe", L"/S", {}), 0u);
  // The uninstaller runs on from a copy of itself; removing its folder is the last thing it does.
  for (int i = 0; i < 600 && fs::exists(programs); ++i) Sleep(100);
  EXPECT_FALSE(fs::exists(programs));
  EXPECT_FALSE(fs::exists(startMenu / L"ZOL 切替.lnk"));
  EXPECT_TRUE(fs::exists(zolIni));
  for (const wchar_t* name : savers) fs::remove(systemFolder / name);
}

}  // namespace
}  // namespace zol
