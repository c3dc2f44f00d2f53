// Windows of the NT family maps the "SCRNSAVE.EXE=" entry of system.ini to the per-user registry
// (IniFileMapping, system.ini\boot: SCRNSAVE.EXE = USR:Control Panel\Desktop) and reads its screen
// saver only from there:
// https://learn.microsoft.com/windows/win32/api/winbase/nf-winbase-writeprivateprofilestringw
#include <windows.h>

#include "entry.h"
#include "error.h"
#include "platform.h"

namespace zol {
namespace {

constexpr const wchar_t* kDesktopKey = L"Control Panel\\Desktop";
constexpr const wchar_t* kScreenSaverValue = L"SCRNSAVE.EXE";
// Group Policy's "Screen saver executable name" and "Enable screen saver": while they are set,
// Windows ignores the user's own values of the same names.
constexpr const wchar_t* kPolicyKey =
    L"Software\\Policies\\Microsoft\\Windows\\Control Panel\\Desktop";
constexpr const wchar_t* kActiveValue = L"ScreenSaveActive";
constexpr const wchar_t* kWaitValue = L"ScreenSaveTimeOut";
constexpr const wchar_t* kLockValue = L"ScreenSaverIsSecure";

// A text value under HKEY_CURRENT_USER; empty when it is absent or of another type.
std::wstring ReadText(const wchar_t* key, const wchar_t* name) {
  wchar_t text[MAX_PATH * 2] = L"";
  DWORD size = sizeof text;
  return RegGetValueW(HKEY_CURRENT_USER, key, name,
                      RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, text,
                      &size) == ERROR_SUCCESS
             ? text
             : L"";
}

// Sets the value, or deletes it, as Windows' own dialog does for none.
LSTATUS WriteScreenSaverValue(const std::wstring& value, bool none) {
  if (none) {
    const LSTATUS status = RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kScreenSaverValue);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
  }
  return RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kScreenSaverValue, REG_SZ, value.c_str(),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// Writes a value of the screen saver's that is "1" for on and "0" for off, as SPIF_UPDATEINIFILE
// writes it.
bool WriteFlag(const wchar_t* name, bool on) {
  return RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, name, REG_SZ, on ? L"1" : L"0",
                         sizeof L"1") == ERROR_SUCCESS;
}

// The key of the user's screen-saver values could not be written.
Error DesktopError() {
  return Error(ErrorKind::RegistryFailed, L"HKEY_CURRENT_USER\\" + std::wstring(kDesktopKey));
}

// Stores whether a screen saver is active, and tells the session too unless it is paused. While
// it is paused, the value is written as SPIF_UPDATEINIFILE writes it, and the programs hear of the
// change as they would from SystemParametersInfo.
bool StoreActive(bool active, bool sessionPaused) {
  if (!sessionPaused) {
    const bool stored = SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, active, nullptr,
                                              SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    SessionScreenSaverActive();  // read back at once, as SetSessionScreenSaverActive does
    return stored;
  }
  if (!WriteFlag(kActiveValue, active)) return false;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETSCREENSAVEACTIVE, 0,
                      SMTO_ABORTIFHUNG, 1000, nullptr);
  return true;
}

// The administrator's policy decides the screen saver by the value named.
Error PolicyError(const wchar_t* name, const std::wstring& value) {
  return Error(ErrorKind::PolicyDecides, L"HKEY_CURRENT_USER\\" + std::wstring(kPolicyKey),
               name + (L" = " + value));
}

// Refuses with PolicyDecides a change of the value named while the policy sets it.
void CheckPolicy(const wchar_t* name) {
  const std::wstring value = ScreenSaverPolicy(name);
  if (!value.empty()) throw PolicyError(name, value);
}

}  // namespace

// The platform id is no version number: the compatibility shims that make GetVersionEx report
// an older version keep it (VER_PLATFORM_WIN32_NT on every NT, VER_PLATFORM_WIN32_WINDOWS on 95 to
// Me).
bool IsNtFamily() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExW(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::wstring WindowsScreenSaver() { return ReadText(kDesktopKey, kScreenSaverValue); }

void SetWindowsScreenSaver(std::wstring_view writtenValue, bool sessionPaused) {
  if (!IsNtFamily()) return;
  const bool none = NamesNoScreenSaver(writtenValue);
  if (WriteScreenSaverValue(std::wstring(writtenValue), none) != ERROR_SUCCESS ||
      !StoreActive(!none, sessionPaused)) {
    throw DesktopError();
  }
}

void CheckScreenSaverPolicy(std::wstring_view writtenValue) {
  CheckPolicy(kScreenSaverValue);
  if (!NamesNoScreenSaver(writtenValue) && ScreenSaverPolicy(kActiveValue) == L"0") {
    throw PolicyError(kActiveValue, L"0");
  }
}

std::optional<bool> StoredScreenSaverActive() {
  const std::wstring stored = IsNtFamily() ? ReadText(kDesktopKey, kActiveValue) : L"";
  return stored.empty() ? std::nullopt : std::optional(stored == L"1");
}

bool SessionScreenSaverActive() {
  BOOL active = FALSE;
  SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
  return active;
}

// Read back at once: Wine keeps the state in the X server's screen saver and sends the new one
// only with its next request that waits for an answer, which reading it is.
void SetSessionScreenSaverActive(bool active) {
  SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, active, nullptr, 0);
  SessionScreenSaverActive();
}

void CheckPausePolicy() {
  for (const wchar_t* name : {kScreenSaverValue, kActiveValue}) CheckPolicy(name);
}

std::wstring ScreenSaverPolicy(const wchar_t* name) {
  return IsNtFamily() ? ReadText(kPolicyKey, name) : L"";
}

int ScreenSaverWait() {
  int seconds = 0;
  SystemParametersInfoW(SPI_GETSCREENSAVETIMEOUT, 0, &seconds, 0);
  return seconds;
}

void SetScreenSaverWait(int seconds) {
  CheckPolicy(kWaitValue);
  if (!SystemParametersInfoW(SPI_SETSCREENSAVETIMEOUT, seconds, nullptr,
                             SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)) {
    throw DesktopError();
  }
}

// Wine 8 does not know SPI_GETSCREENSAVESECURE and SPI_SETSCREENSAVESECURE (error 1439): there the
// stored value alone is read and written.
std::optional<bool> ScreenSaverLocks() {
  if (!IsNtFamily()) return std::nullopt;
  BOOL locks = FALSE;
  if (SystemParametersInfoW(SPI_GETSCREENSAVESECURE, 0, &locks, 0)) return locks;
  return ReadText(kDesktopKey, kLockValue) == L"1";
}

void SetScreenSaverLocks(bool locks) {
  if (!IsNtFamily()) throw Error(ErrorKind::NotOnThisWindows, L"", kLockValue);
  CheckPolicy(kLockValue);
  if (!SystemParametersInfoW(SPI_SETSCREENSAVESECURE, locks, nullptr,
                             SPIF_UPDATEINIFILE | SPIF_SENDCHANGE) &&
      !WriteFlag(kLockValue, locks)) {
    throw DesktopError();
  }
}

}  // namespace zol
