// A harmless stand-in for control.exe and for the screen savers: it adds its command line, as a
// line of UTF-16, to the file that ZOL_STARTED names, where the tests see what was started and how.
// Given "/p" and a window's handle, it does as a screen saver does in a preview: it puts a child
// window of its own into that window and waits until that child is destroyed, then tells "end";
// with ZOL_STUBBORN set, it goes on running instead. Its line names the class of the window given
// (none for no window) in place of the handle. Given
// "/active", it tells nothing and ends with 1 while the screen saver is on in the session, else 0;
// given "/on" or "/off", it turns it on or off in the session first.
#include <windows.h>

#include <cstdio>
#include <string>

void Tell(const std::wstring& line) {
  const wchar_t* log = _wgetenv(L"ZOL_STARTED");
  if (FILE* file = log ? _wfopen(log, L"ab") : nullptr) {
    fwrite((line + L"\n").data(), sizeof(wchar_t), line.size() + 1, file);
    fclose(file);
  }
}

LRESULT CALLBACK Saver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY && !_wgetenv(L"ZOL_STUBBORN")) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

int main() {
  std::wstring line = GetCommandLineW();
  BOOL active = FALSE;
  DestroyWindow(
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr));
  const bool set = line.ends_with(L" /on") || line.ends_with(L" /off");
  if (set) SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, line.ends_with(L" /on"), nullptr, 0);
  if (set || line.ends_with(L" /active")) {  // read back after setting, as the pause does
    return SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0), active;
  }
  const size_t preview = line.rfind(L" /p ");
  if (preview == line.npos) return Tell(line), 0;
  wchar_t* end = nullptr;
  const auto window = reinterpret_cast<HWND>(wcstoull(line.c_str() + preview + 4, &end, 10));
  wchar_t name[64] = L"";
  if (*end || !GetClassNameW(window, name, 64)) *name = L'\0';
  Tell(line.substr(0, preview + 4) + name);
  WNDCLASSW saver{};
  saver.lpfnWndProc = Saver;
  saver.lpszClassName = L"FakeSaver";
  RegisterClassW(&saver);
  // It draws nothing: its window need not cover the picture.
  if (*name && CreateWindowExW(0, L"FakeSaver", L"", WS_CHILD, 0, 0, 0, 0, window, nullptr, nullptr,
                               nullptr)) {
    for (MSG message; GetMessageW(&message, nullptr, 0, 0) > 0;) DispatchMessageW(&message);
  }
  Tell(L"end");
}
