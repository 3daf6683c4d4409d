// QuorvelinMinimalGl.exe: the least a Windows OpenGL program does before its
// first frame, as the yardstick for the saver's start-up under Wine: a full
// screen window of a class with its own device context, the saver's pixel
// format, a context, the shortest timer, and on each tick a clear and a swap.
// Built with the start-up probe (first_swap_probe_win32.cpp), like the
// saver's instrumented copy.
// Closes on a key.
#include <windows.h>

#include <GL/gl.h>


namespace {
const char ClassName[] = "QuorvelinMinimalGl";

PIXELFORMATDESCRIPTOR PixelFormat = {
    sizeof(PIXELFORMATDESCRIPTOR), 1, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
    PFD_TYPE_RGBA, 32, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 8, 0, PFD_MAIN_PLANE, 0, 0, 0, 0};
HGLRC Context = nullptr;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        HDC dc = GetDC(window);
        const int format = ChoosePixelFormat(dc, &PixelFormat);
        if (format != 0 && DescribePixelFormat(dc, format, sizeof PixelFormat, &PixelFormat) != 0
            && SetPixelFormat(dc, format, &PixelFormat))
            Context = wglCreateContext(dc);
        if (Context != nullptr)
            wglMakeCurrent(dc, Context);
        ReleaseDC(window, dc);
        SetTimer(window, 1, 0, nullptr);
        return 0;
    }
    case WM_TIMER: {
        HDC dc = GetDC(window);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glFlush();
        SwapBuffers(dc);
        ReleaseDC(window, dc);
        return 0;
    }
    case WM_KEYDOWN:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        wglMakeCurrent(nullptr, nullptr);
        if (Context != nullptr)
            wglDeleteContext(Context);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = ClassName;
    if (RegisterClassA(&windowClass) == 0)
        return 1;
    HWND window = CreateWindowExA(WS_EX_TOPMOST, ClassName, "Minimal GL", WS_POPUP | WS_VISIBLE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr)
        return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
