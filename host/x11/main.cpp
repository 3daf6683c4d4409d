#include <cstdio>

#include "host/x11/x11_host.h"
#include "host/x11/x11_options.h"

int main(int argc, char** argv)
{
    const X11OptionsResult parsed = ParseX11Options(argc - 1, argv + 1);
    if (!parsed.ok()) {
        std::fprintf(stderr, "quorvelin: %s (see --help)\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.options.help || parsed.options.version) {
        std::fputs(parsed.options.help ? X11Usage : X11Version, stdout);
        return 0;
    }
    X11Host host(parsed.options);
    return host.run();
}
