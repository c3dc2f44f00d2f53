// A harmless stand-in for control.exe: it only sets the event that ZOL_STARTED names.
#include <windows.h>

int main() {
  wchar_t name[64];
  if (GetEnvironmentVariableW(L"ZOL_STARTED", name, 64)) {
    SetEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, name));
  }
}
