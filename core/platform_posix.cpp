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

}  // namespace zol
