#include "host/win32/saver_window.h"

#include "host/win32/saver_host.h"
#include "scene/render_frame.h"

namespace {
HGLRC SaverRenderContext = nullptr;
const UINT_PTR FrameTimerId = 1;

// Overwritten by the description of the format actually chosen.
PIXELFORMATDESCRIPTOR SaverPixelFormat = {
    sizeof(PIXELFORMATDESCRIPTOR),
    1,
    PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
    PFD_TYPE_RGBA,
    32,
    0, 0, 0, 0, 0, 0,
    0, 0,
    0, 0, 0, 0, 0,
    16, // depth for the model and the floor
    8,  // stencil for the mirror pass
    0,
    PFD_MAIN_PLANE,
    0,
    0, 0, 0};

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "the platform's pixel format layout");

// Test-only start-up log for the benchmarks: with QUORVELIN_LOG_FIRST_SWAP
// naming a file, the system time of the first buffer swap goes there once, as
// one decimal line of 100 ns units since 1601. Unset, a frame pays one branch.
char FirstSwapLogPath[MAX_PATH] = "";
bool FirstSwapLogPending = false;

void LogFirstSwap()
{
    FirstSwapLogPending = false;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    char line[24];
    int length = 0;
    do {
        line[length++] = static_cast<char>('0' + ticks % 10);
        ticks /= 10;
    } while (ticks != 0);
    for (int i = 0; i < length / 2; ++i) {
        const char digit = line[i];
        line[i] = line[length - 1 - i];
        line[length - 1 - i] = digit;
    }
    line[length++] = '\n';
    HANDLE file = CreateFileA(FirstSwapLogPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
}
} // namespace

HGLRC CreateGLContext(HWND window)
{
    HDC dc = GetDC(window);
    if (dc == nullptr)
        return nullptr;
    HGLRC context = nullptr;
    int format = ChoosePixelFormat(dc, &SaverPixelFormat);
    if (format != 0 && DescribePixelFormat(dc, format, sizeof(SaverPixelFormat), &SaverPixelFormat) != 0 &&
        SetPixelFormat(dc, format, &SaverPixelFormat)) {
        context = wglCreateContext(dc);
        if (context != nullptr && !wglMakeCurrent(dc, context)) {
            wglDeleteContext(context);
            context = nullptr;
        }
    }
    // The class's own device context stays with the window; this hold of it ends here.
    ReleaseDC(window, dc);
    return context;
}

extern "C" LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        SaverRenderContext = CreateGLContext(window);
        // A black window that still closes on input is all a failed context leaves.
        if (SaverRenderContext == nullptr)
            return 0;
        RECT client = {};
        GetClientRect(window, &client);
        InitScene(client.right - client.left, client.bottom - client.top);
        const DWORD logPathLength = GetEnvironmentVariableA("QUORVELIN_LOG_FIRST_SWAP", FirstSwapLogPath, MAX_PATH);
        FirstSwapLogPending = logPathLength > 0 && logPathLength < MAX_PATH;
        // Interval 0: the shortest the system allows; the show steps per frame.
        SetTimer(window, FrameTimerId, 0, nullptr);
        break;
    }
    case WM_DESTROY:
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(SaverRenderContext);
        SaverRenderContext = nullptr;
        break;
    case WM_TIMER: {
        HDC frameDc = GetDC(window);
        RenderFrame();
        SwapBuffers(frameDc);
        ReleaseDC(window, frameDc);
        if (FirstSwapLogPending)
            LogFirstSwap();
        break;
    }
    default:
        break;
    }
    return DefScreenSaverProc(window, message, wParam, lParam);
}
