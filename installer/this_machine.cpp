#include <shlwapi.h>
#include <windows.h>

#include "handles.h"
#include "initial_settings.h"
#include "platform.h"

namespace zolinit {

bool ThisMachine::IsNtFamily() const { return zol::IsNtFamily(); }

// MAX_PATH holds both folders:
// https://learn.microsoft.com/windows/win32/api/sysinfoapi/nf-sysinfoapi-getsystemdirectoryw
zol::Path ThisMachine::WindowsFolder() const {
  wchar_t folder[MAX_PATH];
  return std::wstring(folder, GetWindowsDirectoryW(folder, MAX_PATH));
}

zol::Path ThisMachine::SystemFolder() const {
  wchar_t folder[MAX_PATH];
  return std::wstring(folder, GetSystemDirectoryW(folder, MAX_PATH));
}

std::wstring ThisMachine::ScreenSaverSetting() const {
  constexpr const wchar_t* kKey = L"Control Panel\\Desktop";
  constexpr const wchar_t* kValue = L"SCRNSAVE.EXE";
  DWORD size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
      ERROR_SUCCESS) {
    return L"";
  }
  std::wstring value(size / sizeof(wchar_t), L'\0');
  if (RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_SZ, nullptr, value.data(), &size) !=
      ERROR_SUCCESS) {
    return L"";
  }
  value.resize(wcslen(value.c_str()));
  return value;
}

// The files that the configurator's file list shows: hidden and system files are left out, and
// the pattern is matched against the long name only (FindFirstFile would also match a short name
// such as "SAVER~1.SCR" of "saver.scr2").
std::vector<std::wstring> ThisMachine::ScreenSaverFiles(const zol::Path& folder) const {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  const HANDLE first = FindFirstFileExW((folder + L"\\*.scr").c_str(), FindExInfoBasic, &found,
                                        FindExSearchNameMatch, nullptr, 0);
  if (first == INVALID_HANDLE_VALUE) return names;
  const forms::UniqueFind find(first);
  do {
    if (!(found.dwFileAttributes &
          (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) &&
        PathMatchSpecW(found.cFileName, L"*.scr")) {
      names.push_back(found.cFileName);
    }
  } while (FindNextFileW(find.get(), &found));
  return names;
}

}  // namespace zolinit
