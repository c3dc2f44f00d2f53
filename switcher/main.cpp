#include "switcher.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return forms::RunProgram<zolswap::Form1>();
}
