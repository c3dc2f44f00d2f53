#include "switcher.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return app::RunProgram<zolswap::Form1>(); }
