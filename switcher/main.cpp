#include "switcher.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  SetErrorMode(SEM_FAILCRITICALERRORS);
  zolswap::Form1 window;
  return window.form.Run();
}
