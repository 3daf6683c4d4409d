// libquorvelin-first-frame-probe.so, preloaded (LD_PRELOAD) into an OpenGL
// program: at its first glFlush the probe waits for the frame to finish
// (glFinish) and writes the system time to the file named by
// QUORVELIN_LOG_FIRST_FRAME, once, as one decimal line of 100 ns units since
// 1601 (the clock the Windows host's start-up log uses). The program itself
// is left as it is, so the player and a minimal program are timed the same way.
#include <dlfcn.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>

namespace {
using GlVoidFunction = void (*)();

bool Logged = false;

GlVoidFunction nextFunction(const char* name)
{
    return reinterpret_cast<GlVoidFunction>(dlsym(RTLD_NEXT, name));
}

void logFirstFrame()
{
    Logged = true;
    if (GlVoidFunction finish = nextFunction("glFinish"))
        finish();
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const char* path = std::getenv("QUORVELIN_LOG_FIRST_FRAME");
    if (path == nullptr || *path == '\0')
        return;
    // From 1970 to 1601 and nanoseconds to 100 ns units.
    const unsigned long long ticks = 116444736000000000ULL + static_cast<unsigned long long>(now.tv_sec) * 10000000ULL
                                     + static_cast<unsigned long long>(now.tv_nsec) / 100ULL;
    if (FILE* file = std::fopen(path, "w")) {
        std::fprintf(file, "%llu\n", ticks);
        std::fclose(file);
    }
}
} // namespace

extern "C" void glFlush()
{
    static const GlVoidFunction flush = nextFunction("glFlush");
    if (flush != nullptr)
        flush();
    if (!Logged)
        logFirstFrame();
}
