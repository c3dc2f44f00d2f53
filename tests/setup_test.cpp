// The setup program end to end: a silent installation, a second one over the settings, each
// program started from its shortcut, and a silent uninstallation that keeps the settings.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include "installation.h"
#include "settings.h"

namespace zol {
namespace {
namespace fs = std::filesystem;
using test::Cp932;
using test::ReadBytes;

fs::path KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  SHGetKnownFolderPath(id, 0, nullptr, &path);
  const fs::path folder = path;
  CoTaskMemFree(path);
  return folder;
}

// Starts a program in the folder given, acts on its window with the caption given once it shows,
// and waits for the end; the exit code. A program that shows no such window or does not end is
// stopped.
DWORD Launch(const fs::path& program, const wchar_t* arguments, fs::path folder = {},
             const wchar_t* caption = nullptr, const std::function<void(HWND)>& act = {}) {
  if (folder.empty()) folder = program.parent_path();
  SHELLEXECUTEINFOW run{};
  run.cbSize = sizeof run;
  run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
  run.lpFile = program.c_str();
  run.lpParameters = arguments;
  run.lpDirectory = folder.c_str();
  run.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&run)) return ADD_FAILURE() << program, 1;
  HWND form = nullptr;
  for (int i = 0; caption && i < 200 && !(form = FindWindowW(L"ZolForm", caption)); ++i) {
    WaitForSingleObject(run.hProcess, 100);
  }
  if (form) act(form);
  DWORD code = 1;
  const bool ended = (form || !caption) && !WaitForSingleObject(run.hProcess, 60000);
  if (!ended) TerminateProcess(run.hProcess, 1);
  EXPECT_TRUE(ended) << program;
  GetExitCodeProcess(run.hProcess, &code);
  CloseHandle(run.hProcess);
  return code;
}

// Starts the program that a shortcut names in the folder that it names, as the Start menu does.
DWORD LaunchShortcut(const fs::path& file, const wchar_t* caption,
                     const std::function<void(HWND)>& act) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IShellLinkW* link = nullptr;
  IPersistFile* persist = nullptr;
  wchar_t program[MAX_PATH] = L"", folder[MAX_PATH] = L"";
  if (SUCCEEDED(
          CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_PPV_ARGS(&persist))) &&
      SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
    link->GetPath(program, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetWorkingDirectory(folder, MAX_PATH);
  }
  if (persist) persist->Release();
  if (link) link->Release();
  CoUninitialize();
  return Launch(program, nullptr, folder, caption, act);
}

TEST(SetupTest, InstallsStartsAndUninstallsKeepingTheSettings) {
  const wchar_t* setupProgram = _wgetenv(L"ZOL_SETUP");
  ASSERT_NE(setupProgram, nullptr) << "tests/CMakeLists.txt gives the setup program";
  const fs::path setup = setupProgram;
  const fs::path programs = KnownFolder(FOLDERID_LocalAppData) / "Programs" / "ZOL";
  const fs::path settings = KnownFolder(FOLDERID_RoamingAppData) / "ZOL";
  const fs::path startMenu = KnownFolder(FOLDERID_Programs);
  const fs::path zolIni = settings / "zol.ini", systemIni = settings / "system.ini";
  wchar_t system[MAX_PATH];
  const fs::path systemFolder = std::wstring(system, GetSystemDirectoryW(system, MAX_PATH));
  const wchar_t* savers[] = {L"迷路.scr", L"星空.scr", L"流星.scr"};
  // The current screen saver is none of the system folder's: the first there is the favourite.
  for (const wchar_t* name : savers) test::WriteBytes(systemFolder / name, "");
  test::SetRegistryText(test::kDesktopKey, L"SCRNSAVE.EXE", L"C:\\elsewhere\\old.scr");
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
  EXPECT_EQ(LaunchShortcut(startMenu / L"ZOL 設定.lnk", L"ゾルヴァ(ZOL3.60)",
                           [](HWND form) { PostMessageW(form, WM_CLOSE, 0, 0); }),
            0u);
  EXPECT_EQ(LaunchShortcut(startMenu / L"ZOL 切替.lnk", L"ＺＯＬ３．６０",
                           [](HWND form) { test::PostClick(form, L"星空.scr に変更"); }),
            0u);
  const std::wstring favourite = (systemFolder / L"星空.scr").wstring();
  EXPECT_EQ(ReadBytes(systemIni),
            "[boot]\r\n*DisplayFallback=0\r\nSCRNSAVE.EXE=" + Cp932(favourite) + "\r\n");
  EXPECT_EQ(test::ReadDesktopScreenSaver().first, favourite);

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
