#include "host/linux/stop_signals.h"

namespace {
volatile sig_atomic_t Requested = 0;
constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnStopSignal(int) { Requested = 1; }
} // namespace

void StopSignals::hold()
{
    sigset_t signals;
    sigemptyset(&signals);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : kStopSignals) {
        sigaddset(&signals, signal);
        sigaction(signal, &action, nullptr);
    }
    sigprocmask(SIG_BLOCK, &signals, nullptr);
}

sigset_t StopSignals::waitMask()
{
    sigset_t mask;
    sigprocmask(SIG_SETMASK, nullptr, &mask);
    for (int signal : kStopSignals)
        sigdelset(&mask, signal);
    return mask;
}

bool StopSignals::requested() { return Requested != 0; }
