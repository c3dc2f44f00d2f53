// The yardstick of switch_benchmark: the least that a Win32 program with one button does. A
// window of the quick switcher's size with one button in the place of 「スクリーンセイバ無し」; a
// click on it ends the program. No resources, no common controls, no font of its own.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) || message == WM_CLOSE) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"BareButton";
  RegisterClassW(&windowClass);
  const HWND window = CreateWindowW(
      L"BareButton", L"Bare button", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
      CW_USEDEFAULT, CW_USEDEFAULT, 177, 225, nullptr, nullptr, instance, nullptr);
  CreateWindowW(L"BUTTON", L"スクリーンセイバ無し", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 16, 96,
                137, 25, window, nullptr, instance, nullptr);
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
