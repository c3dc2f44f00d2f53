// A harmless stand-in for control.exe: it only sets the event that the tests wait for.
#include <windows.h>

int main() { SetEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, L"zol-control-started")); }
