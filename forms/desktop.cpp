// Windows of the NT family maps the "SCRNSAVE.EXE=" entry of system.ini to the per-user registry
// (IniFileMapping, system.ini\boot: SCRNSAVE.EXE = USR:Control Panel\Desktop) and reads its screen
// saver only from there:
// https://learn.microsoft.com/windows/win32/api/winbase/nf-winbase-writeprivateprofilestringw
#include "entry.h"
#include "forms.h"
#include "platform.h"

namespace forms {
namespace {

constexpr const wchar_t* kDesktopKey = L"Control Panel\\Desktop";
constexpr const wchar_t* kScreenSaverValue = L"SCRNSAVE.EXE";

// Sets the value, or deletes it, as Windows' own dialog does for none.
LSTATUS WriteScreenSaverValue(const std::wstring& value, bool none) {
  if (none) {
    const LSTATUS status = RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kScreenSaverValue);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
  }
  return RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kScreenSaverValue, REG_SZ, value.c_str(),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

void ShareScreenSaver(std::wstring_view writtenValue) {
  if (!zol::IsNtFamily()) return;
  const bool none = zol::NamesNoScreenSaver(writtenValue);
  if (WriteScreenSaverValue(std::wstring(writtenValue), none) != ERROR_SUCCESS ||
      !SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, !none, nullptr,
                             SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)) {
    throw zol::Error(zol::ErrorKind::RegistryFailed,
                     L"HKEY_CURRENT_USER\\" + std::wstring(kDesktopKey));
  }
}

}  // namespace forms
