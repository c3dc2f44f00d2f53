#include "platform.h"

namespace zol {

bool IsNtFamily() { return false; }

std::wstring WindowsScreenSaver() { return L""; }

void SetWindowsScreenSaver(std::wstring_view) {}

void CheckScreenSaverPolicy(std::wstring_view) {}

std::optional<bool> StoredScreenSaverActive() { return std::nullopt; }

void CheckPausePolicy() {}

}  // namespace zol
