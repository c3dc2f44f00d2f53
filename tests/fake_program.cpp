// A harmless stand-in for control.exe and for the screen savers: it adds its command line, as a
// line of UTF-16, to the file that ZOL_STARTED names, where the tests see what was started and how.
#include <cstdio>
#include <string>

#include <windows.h>

int main() {
  const wchar_t* log = _wgetenv(L"ZOL_STARTED");
  FILE* file = log ? _wfopen(log, L"ab") : nullptr;
  if (!file) return 1;
  const std::wstring line = std::wstring(GetCommandLineW()) + L"\n";
  fwrite(line.data(), sizeof(wchar_t), line.size(), file);
  return fclose(file);
}
