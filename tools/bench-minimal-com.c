/* The yardstick for the Windows program's start-up: a window program that only initialises
   COM and uninitialises it, as webbook-helper does around a run that has nothing to do. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
    if (SUCCEEDED(CoInitialize(NULL))) CoUninitialize();
    return 1;
}
