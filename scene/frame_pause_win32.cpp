#include <windows.h>

#include "scene/frame_pause.h"

namespace {
bool PauseEnabled = true;
}

void FramePause()
{
    if (PauseEnabled)
        Sleep(1);
}

void SetFramePauseEnabled(bool enabled) { PauseEnabled = enabled; }
