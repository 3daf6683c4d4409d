#include "host/win32/saver_window.h"

#include "host/monitors/monitor_presenter.h"
#include "host/win32/saver_host.h"
#include "host/win32/window_monitors.h"
#include "scene/background_copy.h"
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

// Full screen, the show is drawn on one monitor and copied to the others; a
// preview keeps the single view its context was given.
MonitorPresenter Presenter;

bool IsPreview(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0; }

// The views for the monitors as they are now and the window's client size.
void FitViews(HWND window)
{
    if (SaverRenderContext == nullptr || IsPreview(window))
        return;
    RECT client = {};
    GetClientRect(window, &client);
    Presenter.fit(MonitorLayout(MonitorsOfWindow(window), client.right - client.left, client.bottom - client.top));
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
        FitViews(window);
        // Interval 0: the shortest the system allows; the show steps per frame.
        SetTimer(window, FrameTimerId, 0, nullptr);
        break;
    }
    case WM_SIZE:
    case WM_DISPLAYCHANGE:
        // The host fits the window to the new desktop first; the views follow
        // in the same context, and the show goes on where it was.
        InvalidateBackgroundCopy();
        FitViews(window);
        break;
    case WM_MOVE:
    case WM_PAINT:
    case WM_SHOWWINDOW:
        // Moved, uncovered (the preview's parent too) or shown again: without
        // desktop composition the buffer's pixels under a cover were not the
        // window's, so the background's copy is taken afresh.
        InvalidateBackgroundCopy();
        break;
    case WM_DESTROY:
        Presenter.release();
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(SaverRenderContext);
        SaverRenderContext = nullptr;
        break;
    case WM_TIMER: {
        HDC frameDc = GetDC(window);
        RenderFrame();
        Presenter.present();
        SwapBuffers(frameDc);
        ReleaseDC(window, frameDc);
        break;
    }
    default:
        break;
    }
    return DefScreenSaverProc(window, message, wParam, lParam);
}
