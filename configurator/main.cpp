#include "configurator.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return forms::RunProgram<zolset::Form1>(); }
