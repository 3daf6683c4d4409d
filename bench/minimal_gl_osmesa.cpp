// quorvelin-minimal-gl: the least an offscreen OpenGL program does before its
// first frame, as the yardstick for the offscreen player's start-up: an OSMesa
// context with the player's depth and stencil bits, one clear, one flush.
//   quorvelin-minimal-gl [WxH]
#include <GL/osmesa.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    int width = 640;
    int height = 480;
    if (argc > 1 && (std::sscanf(argv[1], "%dx%d", &width, &height) != 2 || width < 1 || height < 1
                     || width > 8192 || height > 8192)) {
        std::fprintf(stderr, "usage: quorvelin-minimal-gl [WxH]\n");
        return 2;
    }
    std::vector<unsigned char> buffer(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
    if (context == nullptr || !OSMesaMakeCurrent(context, buffer.data(), GL_UNSIGNED_BYTE, width, height)) {
        std::fprintf(stderr, "quorvelin-minimal-gl: no offscreen OpenGL context\n");
        return 1;
    }
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glFlush();
    glFinish();
    OSMesaDestroyContext(context);
    return 0;
}
