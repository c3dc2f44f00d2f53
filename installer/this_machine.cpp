#include <windows.h>

#include "entry.h"
#include "initial_settings.h"
#include "platform.h"
#include "win32.h"

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

std::wstring ThisMachine::ScreenSaverSetting() const { return zol::WindowsScreenSaver(); }

// The files that the configurator's file list shows.
std::vector<std::wstring> ThisMachine::ScreenSaverFiles(const zol::Path& folder) const {
  return zol::ListFolder(folder, zol::Entries::Files, zol::kScreenSaverPattern);
}

}  // namespace zolinit
