#include "configurator.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  SetErrorMode(SEM_FAILCRITICALERRORS);  // a drive without a medium is an error, not a dialog
  zolset::Form1 window;
  return window.form.Run();
}
