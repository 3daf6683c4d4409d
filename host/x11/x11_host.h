#pragma once
#include <memory>

#include "host/linux/linux_options.h"

// The Linux host: puts the show on an X display through GLX, in the mode the
// options name, and ticks it until it is told to close. Xlib types stay in
// the .cpp so that this header can be included anywhere.
class X11Host {
public:
    explicit X11Host(const LinuxOptions& options);
    ~X11Host();
    X11Host(const X11Host&) = delete;
    X11Host& operator=(const X11Host&) = delete;

    // Opens the display, makes the window and context, plays the show and
    // releases everything. Returns the exit status: 0 when closed by the
    // mode's rules, a signal or the window's owner; 1 when the display or
    // OpenGL cannot be used; 2 for a window id that names no window.
    int run();

private:
    struct State;

    int open();
    int adoptWindow(unsigned long id, bool isRoot);
    int makeOwnWindow();
    int makeContext();
    void playLoop();
    void handleEvent(void* event);
    void followSize(int width, int height);
    void watchScreen();
    void followScreen();
    void fitViews();
    void release();

    LinuxOptions options;
    std::unique_ptr<State> state;
};
