#pragma once

// The pause at the end of every frame (about 1 ms, yielding the processor),
// which keeps the saver from taking a whole core at the shortest timer.
void FramePause();

// Offscreen tools switch the pause off, so long runs do not spend their time asleep.
void SetFramePauseEnabled(bool enabled);
