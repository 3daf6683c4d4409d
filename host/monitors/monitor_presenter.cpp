#include "host/monitors/monitor_presenter.h"

#include <algorithm>
#include <cmath>

#include "render/gl.h"
#include "scene/view_projection.h"

namespace {
int PowerOfTwoAtLeast(int n)
{
    long long side = 1;
    while (side < n)
        side *= 2;
    return side > 0x40000000LL ? 0x40000000 : static_cast<int>(side);
}

// A copy at the source's own size needs no texture.
bool SameSize(const MonitorCopy& copy)
{
    return copy.shown.width == copy.areaRight - copy.areaLeft && copy.shown.height == copy.areaBottom - copy.areaTop;
}
} // namespace

void MonitorPresenter::fit(const MonitorLayout& newLayout, int largestTexture, Surfaces newSurfaces)
{
    layout = newLayout;
    surfaces = newSurfaces;
    const PixelRect& source = layout.getSource();
    if (surfaces == Surfaces::OnePerMonitor)
        glViewport(0, 0, source.width, source.height);
    else
        glViewport(source.x, layout.getWindowHeight() - source.y - source.height, source.width, source.height);
    SetViewProjection(source.width, source.height);

    // Between surfaces only a texture carries a picture.
    const std::vector<MonitorCopy>& copies = layout.getCopies();
    const bool separate = surfaces == Surfaces::OnePerMonitor && !copies.empty();
    if (!separate && std::all_of(copies.begin(), copies.end(), SameSize)) {
        release();
        return;
    }
    const PixelRect& capture = layout.getCapture();
    const int width = PowerOfTwoAtLeast(capture.width);
    const int height = PowerOfTwoAtLeast(capture.height);
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    if (largestTexture > 0 && largestTexture < limit)
        limit = largestTexture;
    if (width > limit || height > limit) {
        release();
        return;
    }
    if (texture != 0 && width == textureWidth && height == textureHeight)
        return;

    glPushAttrib(GL_TEXTURE_BIT);
    if (texture == 0)
        glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    DrainGlErrors();
    // No pixels: every frame copies its own in before any is read.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    const bool made = glGetError() == GL_NO_ERROR;
    glPopAttrib();
    if (!made) {
        release();
        return;
    }
    textureWidth = width;
    textureHeight = height;
}

void MonitorPresenter::present() const
{
    if (layout.getCopies().empty())
        return;
    if (surfaces == Surfaces::OnePerMonitor) {
        const PixelRect& source = layout.getSource();
        if (texture != 0) {
            glPushAttrib(GL_TEXTURE_BIT);
            capture(source.x, source.y + source.height);
            glPopAttrib();
        }
        return;
    }
    const PixelRect window{0, 0, layout.getWindowWidth(), layout.getWindowHeight()};
    beginCopies(window);
    if (texture != 0)
        capture(0, window.height);
    for (const MonitorCopy& copy : layout.getCopies()) {
        if (texture != 0 && !SameSize(copy))
            drawFromTexture(copy);
        else
            copyPixels(copy);
    }
    endCopies();
}

void MonitorPresenter::presentCopy(const MonitorCopy& copy, const PixelRect& monitor) const
{
    beginCopies(monitor);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (texture != 0) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        drawFromTexture(copy);
    }
    endCopies();
}

// The drawn picture's captured part into the texture; the drawable's origin
// lies at sourceX and its bottom edge at sourceBottom in the layout's pixels.
void MonitorPresenter::capture(int sourceX, int sourceBottom) const
{
    const PixelRect& part = layout.getCapture();
    glBindTexture(GL_TEXTURE_2D, texture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, part.x - sourceX, sourceBottom - part.y - part.height, part.width,
                        part.height);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
}

// Flat drawing in the layout's pixels, y down, over the area the drawable
// covers; endCopies() gives RenderFrame back its state.
void MonitorPresenter::beginCopies(const PixelRect& area) const
{
    glPushAttrib(GL_ENABLE_BIT | GL_VIEWPORT_BIT | GL_TEXTURE_BIT | GL_PIXEL_MODE_BIT | GL_SCISSOR_BIT
                 | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glViewport(0, 0, area.width, area.height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(area.x, area.x + area.width, area.y + area.height, area.y, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
}

void MonitorPresenter::endCopies() const
{
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void MonitorPresenter::drawFromTexture(const MonitorCopy& copy) const
{
    const PixelRect& capture = layout.getCapture();
    // Texel columns count from the capture's left edge, rows up from its bottom edge.
    const int captureBottom = capture.y + capture.height;
    double left = copy.areaLeft - capture.x;
    double right = copy.areaRight - capture.x;
    double top = captureBottom - copy.areaTop;
    double bottom = captureBottom - copy.areaBottom;
    // Enlarged, the outermost pixels would blend in texels beyond the
    // captured part, which hold nothing: stay half a texel inside.
    if (copy.shown.height > capture.height) {
        left += 0.5;
        right -= 0.5;
        top -= 0.5;
        bottom += 0.5;
    }
    const double u0 = left / textureWidth;
    const double u1 = right / textureWidth;
    const double v0 = top / textureHeight;
    const double v1 = bottom / textureHeight;
    const PixelRect& to = copy.shown;
    glDisable(GL_SCISSOR_TEST);
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glTexCoord2d(u0, v0);
    glVertex2i(to.x, to.y);
    glTexCoord2d(u1, v0);
    glVertex2i(to.x + to.width, to.y);
    glTexCoord2d(u1, v1);
    glVertex2i(to.x + to.width, to.y + to.height);
    glTexCoord2d(u0, v1);
    glVertex2i(to.x, to.y + to.height);
    glEnd();
}

void MonitorPresenter::copyPixels(const MonitorCopy& copy) const
{
    const int width = layout.getWindowWidth();
    const int height = layout.getWindowHeight();
    const PixelRect& source = layout.getSource();
    const PixelRect& to = copy.shown;
    const double zoom = to.height / (copy.areaBottom - copy.areaTop);
    const int left = static_cast<int>(std::floor(copy.areaLeft));
    const int right = static_cast<int>(std::ceil(copy.areaRight));
    glDisable(GL_TEXTURE_2D);
    // Whole source pixels are copied; the scissor trims the part of the
    // first and last column that lies outside the view.
    glEnable(GL_SCISSOR_TEST);
    glScissor(to.x, height - to.y - to.height, to.width, to.height);
    glPixelZoom(static_cast<GLfloat>(zoom), static_cast<GLfloat>(zoom));
    // A raster position must start inside the window; a bitmap of no
    // pixels then moves it to the copy's lower-left corner, wherever that is.
    glRasterPos2d(width / 2.0, height / 2.0);
    glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(to.x + (left - copy.areaLeft) * zoom - width / 2.0),
             static_cast<GLfloat>(height / 2.0 - (to.y + to.height)), nullptr);
    glCopyPixels(left, height - source.y - source.height, right - left, source.height, GL_COLOR);
}

void MonitorPresenter::release()
{
    if (texture != 0)
        glDeleteTextures(1, &texture);
    texture = 0;
    textureWidth = 0;
    textureHeight = 0;
}
