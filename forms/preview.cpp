// The preview window. A screen saver started with "/p" and a window's handle makes a child window
// over the whole client area of that window and draws into it until that child is destroyed:
// https://learn.microsoft.com/previous-versions/troubleshoot/windows/win32/screen-saver-command-line
#include <algorithm>

#include "dpi.h"
#include "forms.h"

namespace forms {
namespace {

constexpr const wchar_t* kPreviewClass = L"ZolPreview";
constexpr const wchar_t* kPictureClass = L"ZolPicture";
constexpr const wchar_t* kTitle = L"プレビュー";
constexpr const wchar_t* kCannot = L"プレビューできません";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr int kPictureWidth = 200, kPictureHeight = 150;  // pixels at 96 DPI
constexpr DWORD kStopWait = 1000;                         // milliseconds

// Where a window of the size given goes beside the owner: to its right, or to its left where the
// right has no room, and whole on the owner's work area.
POINT Beside(HWND owner, SIZE size) {
  RECT frame;
  GetWindowRect(owner, &frame);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  const LONG left = frame.right + size.cx <= work.right ? frame.right : frame.left - size.cx;
  return {std::max(work.left, std::min(left, work.right - size.cx)),
          std::max(work.top, std::min(frame.top, work.bottom - size.cy))};
}

}  // namespace

SIZE Preview::FrameSize(UINT dpi) {
  RECT frame = {0, 0, MulDiv(kPictureWidth, dpi, 96), MulDiv(kPictureHeight, dpi, 96)};
  DpiFunctions::System().AdjustFrame(frame, kStyle, 0, dpi);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

void Preview::Open(const std::wstring& screenSaver) {
  if (window_) return;
  static const bool registered = (RegisterWindowClass(kPreviewClass, WindowProc),
                                  RegisterWindowClass(kPictureClass, PictureProc), true);
  (void)registered;
  dpi_ = DpiFunctions::System().ForWindow(owner_.Handle());
  const SIZE size = FrameSize(dpi_);
  const POINT at = Beside(owner_.Handle(), size);
  window_.reset(CreateWindowExW(0, kPreviewClass, kTitle, kStyle, at.x, at.y, size.cx, size.cy,
                                owner_.Handle(), nullptr, GetModuleHandleW(nullptr), this));
  if (!window_) throw zol::Error(zol::ErrorKind::Unexpected, L"", L"CreateWindowEx: preview");
  Show(screenSaver);
  ShowWindow(window_.get(), SW_SHOWNOACTIVATE);  // the keyboard stays with the lists
}

// The old screen saver is handed over to end in its own time; a picture that cannot be made
// starts nothing, and the title says why.
void Preview::Show(const std::wstring& screenSaver) {
  if (!window_) return;
  Stop();
  shown_ = screenSaver;
  const size_t folder = screenSaver.find_last_of(L'\\') + 1;
  std::wstring title =
      screenSaver.empty() ? kTitle : kTitle + (L" - " + screenSaver.substr(folder));
  picture_.reset(CreateWindowExW(0, kPictureClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                                 0, MulDiv(kPictureWidth, dpi_, 96),
                                 MulDiv(kPictureHeight, dpi_, 96), window_.get(), nullptr,
                                 GetModuleHandleW(nullptr), nullptr));
  if (!picture_) title += L"：" + std::wstring(kCannot);
  SetWindowTextW(window_.get(), title.c_str());
  if (!picture_) return;
  std::wstring said;
  try {
    if (screenSaver.empty()) {
      said = none_;
    } else {
      running_.emplace(screenSaver, L"/p " + std::to_wstring(HandleToULong(picture_.get())),
                       screenSaver.substr(0, folder));
    }
  } catch (const zol::Error& error) {
    said = kCannot + (L"：" + zol::Error(error.Kind(), L"").Text());
  }
  SetWindowTextW(picture_.get(), said.c_str());
}

void Preview::Close() {
  Stop();
  window_.reset();
}

void Preview::Stop() {
  picture_.reset();
  if (running_) running_->Stop(kStopWait);
  running_.reset();
}

// Moved to a monitor of another DPI, the window takes the size that Windows suggests, and the
// picture is made anew at its new size, with the screen saver started again in it.
void Preview::OnDpiChanged(UINT dpi, const RECT& suggested) {
  dpi_ = dpi;
  SetWindowPos(window_.get(), nullptr, suggested.left, suggested.top,
               suggested.right - suggested.left, suggested.bottom - suggested.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  Show(shown_);
}

LRESULT CALLBACK Preview::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Preview* preview = zol::WindowOwner<Preview>(hwnd, message, lParam);
  return preview ? preview->OnMessage(hwnd, message, wParam, lParam)
                 : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT Preview::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (wParam != VK_ESCAPE) break;
      [[fallthrough]];
    case WM_CLOSE:
      return Close(), 0;
    case WM_DPICHANGED:
      return OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam)), 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The picture shows its text on grey, centred, where no screen saver draws over it.
LRESULT CALLBACK Preview::PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcW(hwnd, message, wParam, lParam);
  const auto* preview =
      reinterpret_cast<const Preview*>(GetWindowLongPtrW(GetParent(hwnd), GWLP_USERDATA));
  const zol::PaintDC dc(hwnd);
  RECT area, text = {};
  GetClientRect(hwnd, &area);
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  const zol::SelectedObject font(dc, preview->owner_.Font());
  const std::wstring said = WindowText(hwnd);
  text.right = area.right - preview->owner_.ToPixels(240);
  DrawTextW(dc, said.c_str(), -1, &text, DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
  OffsetRect(&text, (area.right - text.right) / 2, (area.bottom - text.bottom) / 2);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
  DrawTextW(dc, said.c_str(), -1, &text, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
  return 0;
}

}  // namespace forms
