#pragma once
// The screen-saver host framework: entry, command-line modes, the saver
// window and its closing rules, the legacy password check. The saver itself
// provides the three hooks declared first; the framework provides the rest.
#include <windows.h>

// Sent by the framework to its own window to run the password dialog.
#define SCRM_VERIFYPW WM_APP

// Hooks the saver provides.
extern "C" LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Pointer-sized as the platform's dialog procedures are; BOOL-sized on 32-bit Windows.
extern "C" INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI RegisterDialogClasses(HANDLE instance);

// What the framework offers the saver.
LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void WINAPI ScreenSaverChangePassword(HWND parent);

// The program's run: reads the command line and ends the process with the mode's result.
void SaverStartup();
int SaverMain(HINSTANCE instance, HINSTANCE previous, const char* commandLine, int showCommand);
