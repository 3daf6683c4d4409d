#pragma once
#include <vector>

#include "render/gl.h"

// A picture of the view that is mostly black (a star field), kept as
// textures of only its lit runs: strips four rows tall, cut where a stretch
// of columns holds no lit pixel. Putting it back draws those runs pixel for
// pixel over the black clear and leaves the rest as the clear left it, so a
// software renderer fills a few per cent of the view instead of all of it.
class LitRunCopy {
public:
    // Makes room for a view of width x height pixels, so that take() does not allocate.
    void reserve(int width, int height);
    // The textures belonged to the previous context: a new one has none of them.
    void forget();
    // Keeps the lit runs of rgba (width x height, four bytes a pixel, the
    // bottom row first, as glReadPixels gives them). False, keeping nothing,
    // when the clear is not black, when drawing the runs would cost the
    // renderer more than the whole picture, or when the textures could not
    // be made: the caller then puts the picture back whole.
    bool take(const unsigned char* rgba, int width, int height);
    // Draws the kept runs at the viewport's lower left corner; needs blending,
    // depth test and lighting off, texturing on and the replace environment.
    void draw() const;

private:
    // A quad's corner: the view's pixel and the tile texture's coordinates there.
    struct Corner {
        GLshort x, y;
        GLfloat s, t;
    };
    void dropRuns();
    bool columnIsLit(const unsigned char* rgba, int x, int bottom, int top) const;
    bool addRuns(const unsigned char* rgba, int x0, int y0, int x1, int y1);
    bool addQuad(int x0, int y0, int left, int bottom, int right, int top);
    bool upload(GLuint texture, const unsigned char* rgba, int x0, int y0, int x1, int y1) const;

    int width = 0;
    int height = 0;
    std::vector<GLuint> textures;  // one per tile of the view, row by row, made in this context
    std::vector<Corner> corners;   // the runs' quads, tile by tile
    std::vector<GLsizei> tileEnds; // where each tile's corners end
    long long runPixels = 0;
};
