#include "render/lit_run_copy.h"

#include <algorithm>

namespace {
// Strips as tall as llvmpipe's 4x4 pixel stamps; tiles of a side every
// OpenGL 1.1 takes, a whole number of strips.
const int kStripRows = 4;
const int kTile = 256;
// Measured on llvmpipe: a quad costs some 5,000 instructions, a pixel of a
// run 54 and a pixel of the whole picture put back 28; so dark gaps of up
// to 8 columns are drawn rather than cut, and the runs are kept only while
// twice their pixels and 200 a quad come to less than the whole picture.
const int kGapColumns = 8;
const long long kQuadCost = 200;

int tilesAlong(int pixels) { return (pixels + kTile - 1) / kTile; }

long long quadBudget(int width, int height) { return static_cast<long long>(width) * height / kQuadCost; }
} // namespace

void LitRunCopy::reserve(int viewWidth, int viewHeight)
{
    if (viewWidth <= 0 || viewHeight <= 0)
        return;
    const std::size_t tiles = static_cast<std::size_t>(tilesAlong(viewWidth)) * tilesAlong(viewHeight);
    textures.reserve(tiles);
    tileEnds.reserve(tiles);
    corners.reserve(static_cast<std::size_t>(quadBudget(viewWidth, viewHeight)) * 4);
}

void LitRunCopy::forget()
{
    textures.clear();
    dropRuns();
}

void LitRunCopy::dropRuns()
{
    corners.clear();
    tileEnds.clear();
    runPixels = 0;
}

bool LitRunCopy::columnIsLit(const unsigned char* rgba, int x, int bottom, int top) const
{
    for (int y = bottom; y < top; ++y) {
        const unsigned char* pixel = rgba + (static_cast<std::size_t>(y) * width + x) * 4;
        if (pixel[0] != 0 || pixel[1] != 0 || pixel[2] != 0)
            return true;
    }
    return false;
}

// False when the runs would outgrow the budget, past which they cannot pay.
bool LitRunCopy::addQuad(int x0, int y0, int left, int bottom, int right, int top)
{
    if (corners.size() + 4 > static_cast<std::size_t>(quadBudget(width, height)) * 4)
        return false;
    // Texture coordinates at the tile's texel edges, so that each pixel's
    // centre meets its own texel.
    const GLshort l = static_cast<GLshort>(left);
    const GLshort r = static_cast<GLshort>(right);
    const GLshort b = static_cast<GLshort>(bottom);
    const GLshort t = static_cast<GLshort>(top);
    const float s0 = static_cast<float>(left - x0) / kTile;
    const float s1 = static_cast<float>(right - x0) / kTile;
    const float t0 = static_cast<float>(bottom - y0) / kTile;
    const float t1 = static_cast<float>(top - y0) / kTile;
    corners.push_back({l, b, s0, t0});
    corners.push_back({r, b, s1, t0});
    corners.push_back({r, t, s1, t1});
    corners.push_back({l, t, s0, t1});
    runPixels += static_cast<long long>(right - left) * (top - bottom);
    return true;
}

bool LitRunCopy::addRuns(const unsigned char* rgba, int x0, int y0, int x1, int y1)
{
    for (int bottom = y0; bottom < y1; bottom += kStripRows) {
        const int top = std::min(bottom + kStripRows, y1);
        int runStart = -1;
        int runEnd = -1;
        for (int x = x0; x < x1; ++x) {
            if (!columnIsLit(rgba, x, bottom, top))
                continue;
            if (runStart >= 0 && x - runEnd > kGapColumns) {
                if (!addQuad(x0, y0, runStart, bottom, runEnd, top))
                    return false;
                runStart = -1;
            }
            if (runStart < 0)
                runStart = x;
            runEnd = x + 1;
        }
        if (runStart >= 0 && !addQuad(x0, y0, runStart, bottom, runEnd, top))
            return false;
    }
    return true;
}

bool LitRunCopy::upload(GLuint texture, const unsigned char* rgba, int x0, int y0, int x1, int y1) const
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    DrainGlErrors();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, kTile, kTile, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, width);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, x0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, y0);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x1 - x0, y1 - y0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glPopClientAttrib();
    return glGetError() == GL_NO_ERROR;
}

bool LitRunCopy::take(const unsigned char* rgba, int viewWidth, int viewHeight)
{
    dropRuns();
    width = viewWidth > 0 ? viewWidth : 0;
    height = viewHeight > 0 ? viewHeight : 0;
    // Only a black clear leaves the dark pixels as the picture has them.
    GLfloat clear[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    if (width == 0 || height == 0 || clear[0] != 0.0f || clear[1] != 0.0f || clear[2] != 0.0f)
        return false;

    const int across = tilesAlong(width);
    const std::size_t tiles = static_cast<std::size_t>(across) * tilesAlong(height);
    bool withinBudget = true;
    for (std::size_t tile = 0; tile < tiles && withinBudget; ++tile) {
        const int x0 = static_cast<int>(tile % across) * kTile;
        const int y0 = static_cast<int>(tile / across) * kTile;
        withinBudget = addRuns(rgba, x0, y0, std::min(x0 + kTile, width), std::min(y0 + kTile, height));
        tileEnds.push_back(static_cast<GLsizei>(corners.size()));
    }
    const long long quads = static_cast<long long>(corners.size() / 4);
    if (!withinBudget || 2 * runPixels + kQuadCost * quads >= static_cast<long long>(width) * height) {
        dropRuns();
        return false;
    }

    if (textures.size() < tiles) {
        const std::size_t made = textures.size();
        textures.resize(tiles, 0);
        glGenTextures(static_cast<GLsizei>(tiles - made), textures.data() + made);
    }
    glPushAttrib(GL_TEXTURE_BIT);
    bool uploaded = true;
    GLsizei first = 0;
    for (std::size_t tile = 0; tile < tiles && uploaded; ++tile) {
        const int x0 = static_cast<int>(tile % across) * kTile;
        const int y0 = static_cast<int>(tile / across) * kTile;
        if (tileEnds[tile] > first)
            uploaded = upload(textures[tile], rgba, x0, y0, std::min(x0 + kTile, width), std::min(y0 + kTile, height));
        first = tileEnds[tile];
    }
    glPopAttrib();
    if (!uploaded)
        dropRuns();
    return uploaded;
}

void LitRunCopy::draw() const
{
    if (corners.empty())
        return;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    // The viewport's pixels, y up, as glReadPixels counts them.
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_SHORT, sizeof(Corner), &corners[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(Corner), &corners[0].s);
    GLsizei first = 0;
    for (std::size_t tile = 0; tile < tileEnds.size(); ++tile) {
        if (tileEnds[tile] > first) {
            glBindTexture(GL_TEXTURE_2D, textures[tile]);
            glDrawArrays(GL_QUADS, first, tileEnds[tile] - first);
        }
        first = tileEnds[tile];
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
