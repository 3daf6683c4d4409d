// The show's arithmetic in the build's own floating point (x87 on i686): plays
// the scene core the .scr links on a hidden window's GL context and checks
// that the intro's phases last 401, 401, 401 and 101 frames, that the corner
// logo enters the steady state at exactly 0.8, and that the turn stays in
// [0, 360), steps 0.1 degree a frame and wraps on the frame that
// single-precision arithmetic gives. (x87 takes 360 from the sum before
// rounding it, so after a wrap the turn may differ from the other builds' by
// a few millionths of a degree.) The pictures are not linked in: no step of
// the show's arithmetic depends on them.
#include <windows.h>

#include <cmath>
#include <cstdio>

#include "scene/frame_pause.h"
#include "scene/render_frame.h"
#include "scene/scene_objects.h"

int main()
{
    HDC dc = GetDC(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr));
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof(format);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.cColorBits = 32;
    format.cDepthBits = 16;
    format.cStencilBits = 8;
    if (!SetPixelFormat(dc, ChoosePixelFormat(dc, &format), &format) || !wglMakeCurrent(dc, wglCreateContext(dc))) {
        std::printf("no OpenGL context on a hidden window\n");
        return 1;
    }
    SetFramePauseEnabled(false);
    InitScene(64, 48);
    int phaseStart[5] = {0, -1, -1, -1, -1};
    int frame = 0;
    for (; IntroPhase < 4 && frame < 2000; ++frame) {
        const int phase = IntroPhase;
        RenderFrame();
        if (IntroPhase != phase)
            phaseStart[IntroPhase] = frame + 1;
    }
    const float cornerLogo = TitleLogo.getAlpha();
    // A whole turn and a little more, against the same steps taken in memory, in single precision.
    volatile float expected = TurnAngle;
    int wraps = 0;
    float largestDifference = 0.0f;
    for (int step = 0; step < 3700; ++step, ++frame) {
        const float before = TurnAngle;
        RenderFrame();
        expected = expected + 0.1f; // a volatile store: rounded to single precision
        if (expected >= 360.0f)
            expected = expected - 360.0f;
        const float moved = TurnAngle >= before ? TurnAngle - before : TurnAngle + 360.0f - before;
        wraps += TurnAngle < before ? 1 : 0;
        largestDifference = std::fmax(largestDifference, std::fabs(TurnAngle - expected));
        if (!(TurnAngle >= 0.0f && TurnAngle < 360.0f && largestDifference < 1e-4f && std::fabs(moved - 0.1f) < 1e-4f)) {
            std::printf("frame %d: the turn went from %.6f to %.6f, not %.6f\n", frame, before, TurnAngle, expected);
            wraps = -1;
            break;
        }
    }
    const bool held = phaseStart[1] == 401 && phaseStart[2] == 802 && phaseStart[3] == 1203 &&
                      phaseStart[4] == 1304 && cornerLogo == 0.8f && wraps == 1;
    std::printf("phases start at frames %d %d %d %d (%d/%d/%d/%d frames long); corner logo %.7f; the turn wrapped %d "
                "time(s) in 3700 steady frames, at most %.7f degree off single-precision steps: %s\n",
                phaseStart[1], phaseStart[2], phaseStart[3], phaseStart[4], phaseStart[1], phaseStart[2] - phaseStart[1],
                phaseStart[3] - phaseStart[2], phaseStart[4] - phaseStart[3], cornerLogo, wraps, largestDifference,
                held ? "the show's arithmetic holds" : "FAILED");
    return held ? 0 : 1;
}
