#include "dpi.h"

#include "win32.h"

namespace forms {
namespace {

template <class Function>
Function Find(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

DpiFunctions::DpiFunctions(HMODULE user32)
    : getDpiForSystem_(Find<decltype(getDpiForSystem_)>(user32, "GetDpiForSystem")),
      getDpiForWindow_(Find<decltype(getDpiForWindow_)>(user32, "GetDpiForWindow")),
      adjustWindowRectExForDpi_(
          Find<decltype(adjustWindowRectExForDpi_)>(user32, "AdjustWindowRectExForDpi")),
      systemParametersInfoForDpi_(
          Find<decltype(systemParametersInfoForDpi_)>(user32, "SystemParametersInfoForDpi")) {}

const DpiFunctions& DpiFunctions::System() {
  static const DpiFunctions functions(GetModuleHandleW(L"user32.dll"));
  return functions;
}

UINT DpiFunctions::ForSystem() const {
  if (getDpiForSystem_) return getDpiForSystem_();
  return static_cast<UINT>(GetDeviceCaps(zol::WindowDC(nullptr), LOGPIXELSX));
}

UINT DpiFunctions::ForWindow(HWND window) const {
  return getDpiForWindow_ ? getDpiForWindow_(window) : ForSystem();
}

void DpiFunctions::AdjustFrame(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) const {
  if (adjustWindowRectExForDpi_) {
    adjustWindowRectExForDpi_(&rect, style, FALSE, exStyle, dpi);
  } else {
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  }
}

LOGFONTW DpiFunctions::MessageFont(UINT dpi) const {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (systemParametersInfoForDpi_) {
    systemParametersInfoForDpi_(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
  } else {
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, ForSystem());
  }
  return metrics.lfMessageFont;
}

}  // namespace forms
