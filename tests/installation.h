// A scratch installation for the programs' tests, and what the tests see of Windows: the registry
// values, the programs started, a program run as a process of its own. Windows only.
#pragma once

#include <windows.h>

#include <sddl.h>
#include <shellapi.h>

#include <functional>
#include <optional>

#include "scratch.h"
#include "win32.h"

namespace zol::test {
namespace fs = std::filesystem;

// "\...\" of a folder, as zol.ini names it.
inline std::wstring DirOf(const fs::path& folder) {
  return L"\\" + folder.relative_path().wstring() + L"\\";
}

// A text value under HKEY_CURRENT_USER; nothing for one that is absent, which setting deletes.
using Text = std::optional<std::wstring>;

inline Text RegistryText(const wchar_t* key, const wchar_t* name) {
  wchar_t text[1024];
  DWORD size = sizeof text;
  return RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, text, &size) ? Text()
                                                                                         : text;
}

inline void SetRegistryText(const wchar_t* key, const wchar_t* name, const Text& text) {
  text ? RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, text->c_str(),
                         static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t)))
       : RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
}

// The access that everybody has to a key under HKEY_CURRENT_USER, in SDDL.
inline void SetRegistryAccess(const wchar_t* key, const wchar_t* access) {
  HKEY opened = nullptr;
  PSECURITY_DESCRIPTOR security = nullptr;
  RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, WRITE_DAC, &opened);
  ConvertStringSecurityDescriptorToSecurityDescriptorW(access, SDDL_REVISION_1, &security, nullptr);
  EXPECT_EQ(RegSetKeySecurity(opened, DACL_SECURITY_INFORMATION, security), ERROR_SUCCESS) << key;
  LocalFree(security);
  RegCloseKey(opened);
}

// The command lines of the programs that the fake program tells in the file that were started
// since the last call, a line each, once there are as many lines as expected (or ten seconds have
// passed).
inline std::wstring Started(const fs::path& file, size_t expected) {
  std::wstring text;
  for (int i = 0; i < 100; ++i, Sleep(100)) {
    const std::string bytes = ReadBytes(file);
    text.assign(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    if (size_t(std::count(text.begin(), text.end(), L'\n')) >= expected) break;
  }
  fs::remove(file);
  return text;
}

// zol.ini, WINDOWS\system.ini and a folder of screen savers (星空.scr, 迷路.scr, a text file and
// the subfolder 古い with another 星空.scr), all inside a scratch folder, which zol.ini names as
// the control panel's. The screen savers and control.exe are the fake program, and ZOL_STARTED
// names the file where it tells that it was started.
struct Installation {
  Installation() {
    fs::create_directories(systemIni.parent_path());
    fs::create_directories(savers / L"古い");
    const fs::path fake = fs::path(_pgmptr).parent_path() / "fake_program.exe";
    for (const fs::path& program : {savers / L"星空.scr", savers / L"迷路.scr",
                                    savers / L"古い" / L"星空.scr", folder / "control.exe"}) {
      fs::copy_file(fake, program);
    }
    WriteBytes(savers / L"読んで.txt", "");
    WriteBytes(savers / L"壊れた.scr", "MZ");
    WriteBytes(savers / L"隠れた.scr", "MZ");
    SetFileAttributesW((savers / L"隠れた.scr").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const std::wstring drive = folder.Path().root_name().wstring();
    lines = {drive,
             DirOf(systemIni.parent_path()),
             drive,
             DirOf(savers),
             L"コントロールパネルのあるドライブ=" + drive,
             L"コントロールパネルのあるディレクトリ=" + DirOf(folder.Path()),
             L"星空.scr",
             L"迷路.scr",
             L"1500",
             L"3000"};
    WriteBytes(systemIni,
               "[boot]\r\nSCRNSAVE.EXE=C:\\OLD.SCR\r\n[display]\r\nDisplayFallback=0\r\n");
    WriteBytes(zolIni, ZolIniBytes(lines));
    _wputenv_s(L"ZOL_STARTED", started.c_str());
  }

  std::wstring Started(size_t expected = 0) const { return test::Started(started, expected); }

  ZolLines lines;
  ScratchFolder folder;
  fs::path zolIni = folder / "zol.ini";
  fs::path systemIni = folder / "WINDOWS" / "system.ini";
  fs::path savers = folder / L"セイバー";
  fs::path started = folder / "started.txt";
};

// Opens a program or a shortcut as the shell does, in the folder given (a shortcut names its own):
// the program's process, or none for a shortcut. What the tests start ends with them.
inline UniqueHandle Open(const fs::path& file, const wchar_t* arguments, const fs::path& folder) {
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
  EXPECT_TRUE(job && ShellExecuteExW(&run)) << file;
  return UniqueHandle(run.hProcess);
}

// A window of the class given that belongs to the process.
inline HWND WindowOf(HANDLE process, const wchar_t* windowClass) {
  HWND window = nullptr;
  DWORD id = 0;
  while ((window = FindWindowExW(nullptr, window, windowClass, nullptr)) &&
         (GetWindowThreadProcessId(window, &id), id != GetProcessId(process))) {
  }
  return window;
}

// Waits at most a minute for the process to end: its exit code, 1 when it does not end.
inline DWORD ExitCode(HANDLE process) {
  DWORD code = 1;
  EXPECT_EQ(WaitForSingleObject(process, 60000), WAIT_OBJECT_0);
  GetExitCodeProcess(process, &code);
  return code;
}

// Opens a program or a shortcut (above), acts on its window (of the class given) once the window
// waits for input, and waits for the end: the exit code.
inline DWORD Launch(const fs::path& file, const wchar_t* arguments, const fs::path& folder,
                    const std::function<void(HWND form)>& act = {},
                    const wchar_t* windowClass = L"ZolForm") {
  UniqueHandle process = Open(file, arguments, folder);
  HWND form = nullptr;
  for (int i = 0; act && i < 200 && !(form = FindWindowW(windowClass, nullptr)); ++i) Sleep(100);
  if (form) {
    DWORD id = 0;
    GetWindowThreadProcessId(form, &id);
    if (!process) process.reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, 0, id));
    WaitForInputIdle(process.get(), 20000);
    act(form);
  }
  return ExitCode(process.get());
}

}  // namespace zol::test
