// The setup program end to end, run by tests/setup_test.sh in a Wine prefix made for it alone:
// a silent installation, the installed quick switcher clicked, a silent uninstallation, and a
// second installation over the settings that stayed.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include "installation.h"
#include "settings.h"

namespace zol {
namespace {
namespace fs = std::filesystem;
using test::Cp932;
using test::ReadBytes;

constexpr const wchar_t* kDesktopKey = L"Control Panel\\Desktop";
constexpr const wchar_t* kUninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZOL";

fs::path KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  SHGetKnownFolderPath(id, 0, nullptr, &path);
  const fs::path folder = path;
  CoTaskMemFree(path);
  return folder;
}

PROCESS_INFORMATION Start(const fs::path& program, const std::wstring& arguments,
                          const fs::path& folder) {
  std::wstring commandLine = L"\"" + program.wstring() + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  EXPECT_TRUE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                             nullptr, folder.c_str(), &startup, &process))
      << program;
  return process;
}

// Waits for the process to end; its exit code.
DWORD Finish(const PROCESS_INFORMATION& process) {
  DWORD code = STILL_ACTIVE;
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

DWORD RunToEnd(const fs::path& program, const std::wstring& arguments) {
  return Finish(Start(program, arguments, program.parent_path()));
}

struct Shortcut {
  fs::path target, folder;
};

Shortcut ReadShortcut(const fs::path& file) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  Shortcut shortcut;
  IShellLinkW* link = nullptr;
  IPersistFile* persist = nullptr;
  if (SUCCEEDED(
          CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_PPV_ARGS(&persist))) &&
      SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
    wchar_t text[MAX_PATH];
    if (link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH) == S_OK) shortcut.target = text;
    if (link->GetWorkingDirectory(text, MAX_PATH) == S_OK) shortcut.folder = text;
  }
  if (persist) persist->Release();
  if (link) link->Release();
  CoUninitialize();
  return shortcut;
}

std::wstring RegistryText(const wchar_t* key, const wchar_t* value) {
  wchar_t text[MAX_PATH] = L"";
  DWORD size = sizeof text;
  RegGetValueW(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ, nullptr, text, &size);
  return text;
}

// The uninstaller runs on from a copy of itself after its own process has ended; removing its
// folder is the last thing it does.
bool WaitUntilGone(const fs::path& folder) {
  for (int i = 0; i < 600 && fs::exists(folder); ++i) Sleep(100);
  return !fs::exists(folder);
}

TEST(SetupTest, InstallsSwitchesUninstallsAndKeepsTheSettings) {
  const wchar_t* setupProgram = _wgetenv(L"ZOL_SETUP");
  ASSERT_NE(setupProgram, nullptr) << "tests/setup_test.sh gives the setup program";
  const fs::path setup = setupProgram;
  const fs::path programs = KnownFolder(FOLDERID_LocalAppData) / "Programs" / "ZOL";
  const fs::path settings = KnownFolder(FOLDERID_RoamingAppData) / "ZOL";
  const fs::path startMenu = KnownFolder(FOLDERID_Programs);
  const fs::path zolIni = settings / "zol.ini", systemIni = settings / "system.ini";
  wchar_t system[MAX_PATH];
  const fs::path systemFolder = std::wstring(system, GetSystemDirectoryW(system, MAX_PATH));
  // The current screen saver is none of the system folder's: the first there is the favourite.
  for (const wchar_t* name : {L"迷路.scr", L"星空.scr", L"流星.scr"}) {
    test::WriteBytes(systemFolder / name, "");
  }
  const std::wstring current = L"C:\\elsewhere\\old.scr";
  RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"SCRNSAVE.EXE", REG_SZ, current.c_str(),
                  static_cast<DWORD>((current.size() + 1) * sizeof(wchar_t)));

  ASSERT_EQ(RunToEnd(setup, L"/S"), 0u);
  for (const wchar_t* file :
       {L"zolset.exe", L"zolswap.exe", L"zolinit.exe", L"README.txt", L"LICENSE.txt"}) {
    EXPECT_TRUE(fs::exists(programs / file)) << testing::PrintToString(file);
  }
  EXPECT_EQ(RegistryText(kUninstallKey, L"UninstallString"),
            L"\"" + (programs / "uninstall.exe").wstring() + L"\"");
  const std::pair<const wchar_t*, const wchar_t*> shortcuts[] = {{L"ZOL 設定.lnk", L"zolset.exe"},
                                                                 {L"ZOL 切替.lnk", L"zolswap.exe"}};
  for (const auto& [name, program] : shortcuts) {
    const Shortcut shortcut = ReadShortcut(startMenu / name);
    EXPECT_EQ(shortcut.target, programs / program) << testing::PrintToString(name);
    EXPECT_EQ(shortcut.folder, settings) << testing::PrintToString(name);
  }
  const Settings read = ReadSettings(zolIni, SettingsForm::QuickSwitcher);
  EXPECT_EQ(SystemIniPath(read), systemIni);
  EXPECT_EQ(ValueText(read.FavouriteDrive) + ValueText(read.FavouriteDir),
            systemFolder.wstring() + L"\\");
  EXPECT_EQ(read.ControlPanelDriveLine, Cp932(L"コントロールパネルのあるドライブ=C:"));
  EXPECT_EQ(ControlPanelCommand(read), (systemFolder / "control.exe").wstring());
  EXPECT_EQ(ValueText(read.FavouriteName), L"星空.scr");
  EXPECT_EQ(ValueText(read.AlternateName), L"流星.scr");
  EXPECT_EQ(ReadBytes(systemIni),
            "[boot]\r\n*DisplayFallback=0\r\nSCRNSAVE.EXE=" + Cp932(current) + "\r\n");

  const PROCESS_INFORMATION zolswap = Start(programs / "zolswap.exe", L"", settings);
  WaitForInputIdle(zolswap.hProcess, 20000);
  HWND button = nullptr;
  for (int i = 0; i < 200 && !button; ++i, Sleep(100)) {
    const HWND form = FindWindowW(L"ZolForm", L"ＺＯＬ３．６０");
    button = form ? FindWindowExW(form, nullptr, L"Button", L"星空.scr に変更") : nullptr;
  }
  ASSERT_NE(button, nullptr);
  test::PostClick(GetParent(button), L"星空.scr に変更");
  EXPECT_EQ(Finish(zolswap), 0u);
  const std::wstring favourite = (systemFolder / L"星空.scr").wstring();
  EXPECT_EQ(ReadBytes(systemIni),
            "[boot]\r\n*DisplayFallback=0\r\nSCRNSAVE.EXE=" + Cp932(favourite) + "\r\n");
  EXPECT_EQ(RegistryText(kDesktopKey, L"SCRNSAVE.EXE"), favourite);

  EXPECT_EQ(RunToEnd(programs / "uninstall.exe", L"/S"), 0u);
  EXPECT_TRUE(WaitUntilGone(programs));
  for (const auto& [name, program] : shortcuts) {
    EXPECT_FALSE(fs::exists(startMenu / name)) << testing::PrintToString(name);
  }
  EXPECT_EQ(RegistryText(kUninstallKey, L"UninstallString"), L"");
  EXPECT_TRUE(fs::exists(zolIni));

  // The configurator's form of the position tells the kept file from a new one.
  WriteSettings(zolIni, ReadSettings(zolIni, SettingsForm::Configurator),
                SettingsForm::Configurator, 100, 200);
  const std::string kept = ReadBytes(zolIni);
  ASSERT_EQ(RunToEnd(setup, L"/S"), 0u);
  EXPECT_TRUE(fs::exists(programs / "zolswap.exe"));
  EXPECT_EQ(ReadBytes(zolIni), kept);
}

}  // namespace
}  // namespace zol
