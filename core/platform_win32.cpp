#include <windows.h>

#include "platform.h"

namespace zol {

// The platform id is no version number: the compatibility shims that make GetVersionEx report
// an older version keep it (VER_PLATFORM_WIN32_NT on every NT, VER_PLATFORM_WIN32_WINDOWS on 95 to
// Me).
bool IsNtFamily() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExW(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace zol
