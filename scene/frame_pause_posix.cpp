#include <time.h>

#include "scene/frame_pause.h"

namespace {
bool PauseEnabled = true;
}

void FramePause()
{
    if (!PauseEnabled)
        return;
    timespec pause{0, 1000000};
    nanosleep(&pause, nullptr);
}

void SetFramePauseEnabled(bool enabled) { PauseEnabled = enabled; }
