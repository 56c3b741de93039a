// Folvane's entry point: the one application object and the framework's main loop.
#include <windows.h>

#include "app/FolvaneApp.h"

static CFolvaneApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
