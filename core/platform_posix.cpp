#include "error.h"
#include "platform.h"

namespace zol {

bool IsNtFamily() { return false; }

std::wstring WindowsScreenSaver() { return L""; }

void SetWindowsScreenSaver(std::wstring_view, bool) {}

void CheckScreenSaverPolicy(std::wstring_view) {}

std::optional<bool> StoredScreenSaverActive() { return std::nullopt; }

void CheckPausePolicy() {}

bool SessionScreenSaverActive() { return true; }

void SetSessionScreenSaverActive(bool) {}

std::wstring ScreenSaverPolicy(const wchar_t*) { return L""; }

int ScreenSaverWait() { return 0; }

void SetScreenSaverWait(int) {}

std::optional<bool> ScreenSaverLocks() { return std::nullopt; }

void SetScreenSaverLocks(bool) { throw Error(ErrorKind::NotOnThisWindows, L""); }

}  // namespace zol
