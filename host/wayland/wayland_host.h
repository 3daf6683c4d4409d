#pragma once
#include <memory>

#include "host/linux/linux_options.h"

// The Linux program on a Wayland compositor: the show in a window, full
// screen on every output or as every output's wallpaper, one surface per
// output, drawn once per frame on the largest and copied to the others
// (host/monitors/). Frames follow the compositor's frame callbacks, so a
// surface nobody sees costs nothing. Wayland types stay in the .cpp.
class WaylandHost {
public:
    explicit WaylandHost(const LinuxOptions& options);
    ~WaylandHost();
    WaylandHost(const WaylandHost&) = delete;
    WaylandHost& operator=(const WaylandHost&) = delete;

    // Connects, plays the show until the mode's rules, the compositor or a
    // signal end it, and releases everything. Returns the exit status: 0
    // when closed by the mode's rules or a signal; 1 when the compositor, a
    // protocol the mode needs, EGL or OpenGL cannot be used, or the
    // compositor went away.
    int run();

    struct State;

private:
    int open();
    int playLoop();
    void followViews();
    void drawFrame(long long now);
    long long frameReadyAt(long long next) const;
    void release();

    LinuxOptions options;
    std::unique_ptr<State> state;
};
