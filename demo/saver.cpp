// The demo's screen saver. With /s it fills every screen with bouncing circles until a key, a
// mouse button or the mouse is used; with /p <window> it draws them inside that window until its
// own window goes away; otherwise, as when its settings are asked for, it says it has none.
#include <windows.h>

#include <cctype>
#include <cstdlib>

namespace {

// A circle: where it is and how far it goes each tick, as fractions of the window's size.
struct Ball {
  double x, y, dx, dy;
  COLORREF color;
};
Ball balls[] = {{0.1, 0.2, 0.007, 0.011, RGB(230, 60, 60)},
                {0.5, 0.7, -0.009, 0.006, RGB(60, 200, 90)},
                {0.8, 0.3, 0.005, -0.010, RGB(70, 120, 240)},
                {0.3, 0.9, -0.006, -0.008, RGB(240, 200, 50)}};

HWND parent = nullptr;  // the window it shows in with /p
POINT start{};          // where the pointer was at the start with /s

// Draws the circles into a bitmap, then the bitmap onto the window at once: nothing flickers.
void Paint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT area;
  GetClientRect(window, &area);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, area.right, area.bottom);
  SelectObject(memory, bitmap);
  FillRect(memory, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SelectObject(memory, GetStockObject(NULL_PEN));
  SelectObject(memory, GetStockObject(DC_BRUSH));
  int radius = (area.right < area.bottom ? area.right : area.bottom) / 10 + 2;
  int width = area.right - 2 * radius, height = area.bottom - 2 * radius;
  for (const Ball& ball : balls) {
    SetDCBrushColor(memory, ball.color);
    int x = static_cast<int>(ball.x * width), y = static_cast<int>(ball.y * height);
    Ellipse(memory, x, y, x + 2 * radius, y + 2 * radius);
  }
  BitBlt(dc, 0, 0, area.right, area.bottom, memory, 0, 0, SRCCOPY);
  DeleteDC(memory);
  DeleteObject(bitmap);
  EndPaint(window, &paint);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  if (!parent) {
    POINT now;
    switch (message) {
      case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
      case WM_MOUSEMOVE:
        if (GetCursorPos(&now) && std::abs(now.x - start.x) + std::abs(now.y - start.y) <= 8)
          return 0;
        [[fallthrough]];
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
      case WM_LBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_RBUTTONDOWN:
        PostQuitMessage(0);  // at once: under Wine, DestroyWindow here can take 2 s
        return 0;
    }
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

int Run() {
  // No background brush: the whole window is painted on each tick, and nothing in between.
  WNDCLASSW type{};
  type.lpfnWndProc = Procedure;
  type.hInstance = GetModuleHandleW(nullptr);
  type.lpszClassName = L"DemoSaver";
  RegisterClassW(&type);
  HWND window;
  if (parent) {
    RECT area;
    GetClientRect(parent, &area);
    window = CreateWindowExW(0, type.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, area.right,
                             area.bottom, parent, nullptr, type.hInstance, nullptr);
  } else {
    GetCursorPos(&start);
    window = CreateWindowExW(
        WS_EX_TOPMOST | WS_EX_TOOLWINDOW, type.lpszClassName, L"", WS_POPUP | WS_VISIBLE,
        GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
        GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN), nullptr,
        nullptr, type.hInstance, nullptr);
    ShowCursor(FALSE);
  }
  if (!window) return 1;
  // The thread's timer, not the window's: it still ticks when the window is taken away without a
  // WM_DESTROY, as Wine does when the parent's process ends.
  SetTimer(nullptr, 0, 30, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message != WM_TIMER || message.hwnd) {
      DispatchMessageW(&message);
    } else if (!IsWindow(window) || (parent && !IsWindow(parent))) {
      break;
    } else {
      for (Ball& ball : balls) {
        ball.x += ball.dx;
        ball.y += ball.dy;
        if (ball.x < 0 || ball.x > 1) ball.dx = -ball.dx;
        if (ball.y < 0 || ball.y > 1) ball.dy = -ball.dy;
      }
      InvalidateRect(window, nullptr, FALSE);
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // "/s", "-S", "/p 65630", "/p:65630", "/c:1234" and the like: the letter after the sign counts.
  const char* argument = argc > 1 ? argv[1] : "";
  bool sign = argument[0] == '/' || argument[0] == '-';
  int mode = sign ? std::tolower(static_cast<unsigned char>(argument[1])) : 0;
  if (mode == 's') return Run();
  if (mode == 'p') {
    const char* number = argument + 2 + (argument[2] == ':');
    if (!*number && argc > 2) number = argv[2];
    parent = reinterpret_cast<HWND>(std::strtoull(number, nullptr, 10));
    return parent && IsWindow(parent) ? Run() : 0;
  }
  MessageBoxW(nullptr, L"これはデモ用のスクリーンセイバーです。設定できる項目はありません。",
              L"スクリーンセイバーの設定", MB_OK | MB_ICONINFORMATION);
}
