#pragma once
#include <signal.h>

// How the Linux program ends on SIGTERM, SIGINT or SIGHUP (a daemon stopping
// its hack, Ctrl+C): the signals are held back except while a host waits for
// its next tick, so that a stop never lands inside a frame, and threads made
// later (the renderer's) inherit the blocked mask and leave them to the host.
class StopSignals {
public:
    // Installs the handler and blocks the signals; call before any thread starts.
    static void hold();
    // The mask to wait with (ppoll): the current one, the stop signals let through.
    static sigset_t waitMask();
    static bool requested();
};
