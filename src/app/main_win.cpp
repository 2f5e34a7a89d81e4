// vistrel.exe: starts in the tray with nothing else on screen.
#include <windows.h>

#include "app/vistrel_app_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return vistrel::RunVistrel(); }
