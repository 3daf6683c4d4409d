#include <cstdio>
#include <cstdlib>

#include "host/linux/linux_options.h"
#include "host/wayland/wayland_host.h"
#include "host/x11/x11_host.h"

int main(int argc, char** argv)
{
    const LinuxOptionsResult parsed = ParseLinuxOptions(argc - 1, argv + 1);
    if (!parsed.ok()) {
        std::fprintf(stderr, "quorvelin: %s (see --help)\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.options.help || parsed.options.version) {
        std::fputs(parsed.options.help ? LinuxUsage : LinuxVersion, stdout);
        return 0;
    }
    if (ChooseDisplay(parsed.options, std::getenv("WAYLAND_DISPLAY")) == LinuxOptions::Display::Wayland) {
        WaylandHost host(parsed.options);
        return host.run();
    }
    X11Host host(parsed.options);
    return host.run();
}
