// The preview benchmark's stand-in for a screen saver. Given "/p" and a window's handle, it puts a
// child window of its own into that window and then sets the benchmark's event, which times its
// start. When that child is destroyed it ends at once; a copy whose file name holds "stubborn"
// keeps running instead, until it is ended from outside. Anything else ends it at once.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

bool stubborn = false;

LRESULT CALLBACK Saver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY && !stubborn) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int main() {
  const std::wstring line = GetCommandLineW();
  const size_t preview = line.rfind(L" /p ");
  if (preview == line.npos) return 0;
  const auto parent = reinterpret_cast<HWND>(wcstoull(line.c_str() + preview + 4, nullptr, 10));
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  stubborn = std::wcsstr(self, L"stubborn") != nullptr;

  WNDCLASSW saver{};
  saver.lpfnWndProc = Saver;
  saver.lpszClassName = L"BenchSaver";
  RegisterClassW(&saver);
  RECT area;
  if (!GetClientRect(parent, &area) ||
      !CreateWindowExW(0, saver.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, area.right,
                       area.bottom, parent, nullptr, nullptr, nullptr)) {
    return 1;
  }
  if (const HANDLE started = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Local\\ZolPreviewStarted")) {
    SetEvent(started);
    CloseHandle(started);
  }
  for (MSG message; GetMessageW(&message, nullptr, 0, 0) > 0;) DispatchMessageW(&message);
  return 0;
}
