// The setup program end to end: a silent installation, a second one over the settings, each
// program started from its shortcut, and a silent uninstallation that keeps the settings.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include "installation.h"
#include "settings.h"

namespace zol {
namespace {
namespace fs = std::filesystem;
using test::Cp932;
using test::ReadBytes;

// Opens a program or a shortcut as the shell does, acts on the window with the caption given once
// it shows, and waits for the end; the exit code.
DWORD Launch(const fs::path& file, const wchar_t* arguments, const wchar_t* caption = nullptr,
             const std::function<void(HWND)>& act = {}) {
  const std::wstring folder = file.parent_path().wstring();
  SHELLEXECUTEINFOW run{};
  run.cbSize = sizeof run;
  run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
  run.lpFile = file.c_str();
  run.lpParameters = arguments;
  run.lpDirectory = file.extension() == ".lnk" ? nullptr : folder.c_str();
  if (!ShellExecuteExW(&run)) return ADD_FAILURE() << file, 1;
  HANDLE process = run.hProcess;
  HWND form = nullptr;
  for (int i = 0; caption && i < 200 && !(form = FindWindowW(L"ZolForm", caption)); ++i) Sleep(100);
  if (form) {
    DWORD id = 0;
    GetWindowThreadProcessId(form, &id);
    process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    act(form);
  }
  DWORD code = 1;
  EXPECT_TRUE(process && !WaitForSingleObject(process, 60000)) << file;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code;
}

TEST(SetupTest, InstallsStartsAndUninstallsKeepingTheSettings) {
  // What the test starts ends with it, and so does not keep the test's output open.
  const HANDLE job = CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limit{};
  limit.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limit, sizeof limit);
  AssignProcessToJobObject(job, GetCurrentProcess());
  const wchar_t* setupProgram = _wgetenv(L"ZOL_SETUP");
  ASSERT_NE(setupProgram, nullptr) << "tests/CMakeLists.txt gives the setup program";
  const fs::path setup = setupProgram;
  const fs::path programs = fs::path(_wgetenv(L"LOCALAPPDATA")) / "Programs" / "ZOL";
  const fs::path settings = fs::path(_wgetenv(L"APPDATA")) / "ZOL";
  const fs::path startMenu = settings.parent_path() / "Microsoft/Windows/Start Menu/Programs";
  const fs::path zolIni = settings / "zol.ini", systemIni = settings / "system.ini";
  wchar_t system[MAX_PATH];
  const fs::path systemFolder = std::wstring(system, GetSystemDirectoryW(system, MAX_PATH));
  const wchar_t* savers[] = {L"迷路.scr", L"星空.scr", L"流星.scr"};
  // The current screen saver is none of the system folder's: the first there is the favourite.
  for (const wchar_t* name : savers) test::WriteBytes(systemFolder / name, "");
  constexpr const wchar_t* kDesktop = L"Control Panel\\Desktop";
  const std::wstring old = L"C:\\elsewhere\\old.scr";
  RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"SCRNSAVE.EXE", REG_SZ, old.c_str(),
                  static_cast<DWORD>((old.size() + 1) * sizeof(wchar_t)));
  fs::remove_all(settings);  // what an earlier run kept

  ASSERT_EQ(Launch(setup, L"/S"), 0u);
  for (const wchar_t* file : {L"zolinit.exe", L"README.txt", L"LICENSE.txt", L"uninstall.exe"}) {
    EXPECT_TRUE(fs::exists(programs / file)) << testing::PrintToString(file);
  }
  const Settings read = ReadSettings(zolIni, SettingsForm::QuickSwitcher);
  EXPECT_EQ(SystemIniPath(read), systemIni);
  EXPECT_EQ(ControlPanelCommand(read), (systemFolder / "control.exe").wstring());
  EXPECT_EQ(ValueText(read.FavouriteName) + L" " + ValueText(read.AlternateName),
            L"星空.scr 流星.scr");
  EXPECT_EQ(ReadBytes(systemIni),
            "[boot]\r\n*DisplayFallback=0\r\nSCRNSAVE.EXE=C:\\elsewhere\\old.scr\r\n");

  // A second installation keeps the settings: the configurator's form of the position tells the
  // kept file from a new one.
  WriteSettings(zolIni, read, SettingsForm::Configurator, 100, 200);
  const std::string kept = ReadBytes(zolIni);
  ASSERT_EQ(Launch(setup, L"/S"), 0u);
  EXPECT_EQ(ReadBytes(zolIni), kept);

  // Each program starts from its shortcut in the settings' folder.
  EXPECT_EQ(Launch(startMenu / L"ZOL 設定.lnk", nullptr, L"ゾルヴァ(ZOL3.60)",
                   [](HWND form) { PostMessageW(form, WM_CLOSE, 0, 0); }),
            0u);
  EXPECT_EQ(Launch(startMenu / L"ZOL 切替.lnk", nullptr, L"ＺＯＬ３．６０",
                   [](HWND form) { test::PostClick(form, L"星空.scr に変更"); }),
            0u);
  const std::wstring favourite = (systemFolder / L"星空.scr").wstring();
  EXPECT_EQ(ReadBytes(systemIni),
            "[boot]\r\n*DisplayFallback=0\r\nSCRNSAVE.EXE=" + Cp932(favourite) + "\r\n");
  wchar_t named[MAX_PATH] = L"";
  DWORD size = sizeof named;
  RegGetValueW(HKEY_CURRENT_USER, kDesktop, L"SCRNSAVE.EXE", RRF_RT_REG_SZ, nullptr, named, &size);
  EXPECT_EQ(named, favourite);

  EXPECT_EQ(Launch(programs / "uninstall.exe", L"/S"), 0u);
  // The uninstaller runs on from a copy of itself; removing its folder is the last thing it does.
  for (int i = 0; i < 600 && fs::exists(programs); ++i) Sleep(100);
  EXPECT_FALSE(fs::exists(programs));
  EXPECT_FALSE(fs::exists(startMenu / L"ZOL 切替.lnk"));
  EXPECT_TRUE(fs::exists(zolIni));
  for (const wchar_t* name : savers) fs::remove(systemFolder / name);
}

}  // namespace
}  // namespace zol
