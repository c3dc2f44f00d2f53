#include "configurator.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return app::RunProgram<zolset::Form1>(); }
