// The show in a browser: a WebGL context with depth and stencil on the page's
// canvas, InitScene once, and RenderFrame as the screen's frames come, paced
// to 60 steps a second. The page (index.html) passes ?seed=N and ?hold=N on
// as --seed N and --hold N, shows this host's messages, and goes full screen.
#include <GL/glut.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstring>
#include <string>

#include "host/web/step_clock.h"
#include "render/gl.h"
#include "scene/frame_pause.h"
#include "scene/render_frame.h"
#include "scene/view_projection.h"

namespace {
const char* const kCanvas = "#canvas";
const unsigned long long kMostSeed = 4294967295ULL;
// A still is played up to at most this frame; the show is steady long before.
const unsigned long long kMostHold = 100000ULL;
// Playing up to a still keeps the page answering: no more than this per screen frame.
const double kHoldBudgetMilliseconds = 25.0;

// The host's own state, together.
struct WebHost {
    int width = 0;
    int height = 0;
    StepClock clock;
    long frame = -1; // the last frame drawn; 0 is the first RenderFrame
    bool holding = false;
    long hold = 0;
};
WebHost Host;

// The page's message box: plain text, so nothing from the address runs as markup.
EM_JS(void, ShowPageMessage, (const char* text), {
    var box = document.getElementById('message');
    box.textContent = UTF8ToString(text);
    box.hidden = false;
});

// Tells the page which frame is on the canvas and whether it is the still asked for.
EM_JS(void, ReportFrame, (double frame, int held), {
    document.documentElement.dataset.frame = frame;
    if (held)
        document.documentElement.dataset.held = frame;
});

// A whole number of decimal digits, no sign, no spaces, at most most.
bool parseWhole(const char* text, unsigned long long most, unsigned long long& value)
{
    value = 0;
    if (*text == '\0')
        return false;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9')
            return false;
        value = value * 10 + static_cast<unsigned long long>(*c - '0');
        if (value > most)
            return false;
    }
    return true;
}

// Reads --seed N and --hold N; on anything else shows why and returns false.
bool readOptions(int argc, char** argv)
{
    for (int i = 1; i < argc; i += 2) {
        const bool seed = std::strcmp(argv[i], "--seed") == 0;
        const bool hold = std::strcmp(argv[i], "--hold") == 0;
        const unsigned long long most = seed ? kMostSeed : kMostHold;
        unsigned long long value = 0;
        if ((!seed && !hold) || i + 1 >= argc || !parseWhole(argv[i + 1], most, value)) {
            const std::string name = argv[i][0] == '-' && argv[i][1] == '-' ? argv[i] + 2 : argv[i];
            const std::string given = i + 1 < argc ? argv[i + 1] : "";
            ShowPageMessage(("?" + name + "= wants a whole number from 0 to " + std::to_string(most) + ", not '"
                             + given + "'.")
                                .c_str());
            return false;
        }
        if (seed) {
            SetSceneSeed(static_cast<unsigned int>(value));
        } else {
            Host.holding = true;
            Host.hold = static_cast<long>(value);
        }
    }
    return true;
}

// The canvas's size in device pixels: its size on the page times the pixel ratio.
void drawableSize(int& width, int& height)
{
    double cssWidth = 0.0;
    double cssHeight = 0.0;
    emscripten_get_element_css_size(kCanvas, &cssWidth, &cssHeight);
    const double ratio = emscripten_get_device_pixel_ratio();
    width = static_cast<int>(std::lround(cssWidth * ratio));
    height = static_cast<int>(std::lround(cssHeight * ratio));
    if (width < 1)
        width = 1;
    if (height < 1)
        height = 1;
}

// Follows the window's size and pixel ratio; a still keeps the size it was drawn at.
void followSize()
{
    int width = 0;
    int height = 0;
    drawableSize(width, height);
    if (width == Host.width && height == Host.height)
        return;
    Host.width = width;
    Host.height = height;
    emscripten_set_canvas_element_size(kCanvas, width, height);
    glViewport(0, 0, width, height);
    SetViewProjection(width, height);
}

void drawFrame()
{
    RenderFrame();
    ++Host.frame;
}

void tick()
{
    if (Host.holding) {
        if (Host.frame >= Host.hold)
            return;
        const double start = emscripten_get_now();
        do {
            drawFrame();
        } while (Host.frame < Host.hold && emscripten_get_now() - start < kHoldBudgetMilliseconds);
        ReportFrame(static_cast<double>(Host.frame), Host.frame == Host.hold);
        return;
    }
    followSize();
    const int steps = Host.clock.stepsDue(emscripten_get_now());
    for (int i = 0; i < steps; ++i)
        drawFrame();
    if (steps > 0)
        ReportFrame(static_cast<double>(Host.frame), 0);
}
} // namespace

int main(int argc, char** argv)
{
    if (!readOptions(argc, argv))
        return 0;
    drawableSize(Host.width, Host.height);
    emscripten_set_canvas_element_size(kCanvas, Host.width, Host.height);
    // The browser owns the frame rate: no pause between frames.
    SetFramePauseEnabled(false);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH | GLUT_STENCIL);
    if (glutCreateWindow("Quorvelin-Saver") == 0) {
        ShowPageMessage("The show needs WebGL, which this browser does not offer or has switched off.");
        return 0;
    }
    glViewport(0, 0, Host.width, Host.height);
    InitScene(Host.width, Host.height);
    emscripten_set_main_loop(tick, 0, false);
    return 0;
}
