// The DPI functions of Windows 10 version 1607 and later, looked up at run time so that the
// programs also start where they are missing (Windows 7 to 8.1, and Windows 10 before 1607): the
// loader refuses a program that imports a function the system lacks. There each falls back to its
// counterpart at the system DPI.
#pragma once

#include <windows.h>

namespace forms {

class DpiFunctions {
 public:
  // Looks the functions up in the module given; those it lacks fall back.
  explicit DpiFunctions(HMODULE user32);
  // The running system's.
  static const DpiFunctions& System();

  UINT ForSystem() const;
  UINT ForWindow(HWND window) const;
  // The frame around a client rectangle at a DPI.
  void AdjustFrame(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) const;
  // The system's message font at a DPI; in the fallback, scaled from the system DPI.
  LOGFONTW MessageFont(UINT dpi) const;

 private:
  decltype(&::GetDpiForSystem) getDpiForSystem_;
  decltype(&::GetDpiForWindow) getDpiForWindow_;
  decltype(&::AdjustWindowRectExForDpi) adjustWindowRectExForDpi_;
  decltype(&::SystemParametersInfoForDpi) systemParametersInfoForDpi_;
};

}  // namespace forms
