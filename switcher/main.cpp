#include "switcher.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  if (__argc > 1) return zolswap::SwitchFromCommandLine({__wargv + 1, __wargv + __argc});
  return app::RunProgram<zolswap::Form1>();
}
