#include "render/view_volume.h"

#include "render/gl.h"

void ViewVolume::capture()
{
    GLfloat projection[16];
    GLfloat modelview[16];
    GLint viewport[4];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetIntegerv(GL_VIEWPORT, viewport);
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += static_cast<double>(projection[k * 4 + row]) * modelview[column * 4 + k];
            transform[column * 4 + row] = sum;
        }
    // Two pixels in normalised device coordinates, far beyond any rounding.
    marginX = viewport[2] > 0 ? 1.0 + 4.0 / viewport[2] : 1e300;
    marginY = viewport[3] > 0 ? 1.0 + 4.0 / viewport[3] : 1e300;
}

bool ViewVolume::missesView(const Vector3& position, const QuadRect& rect) const
{
    const double xs[2] = {static_cast<double>(position.getX()) + rect.getOrigin().getX(),
                          static_cast<double>(position.getX()) + rect.getOrigin().getX() + rect.getWidth()};
    const double ys[2] = {static_cast<double>(position.getY()) + rect.getOrigin().getY(),
                          static_cast<double>(position.getY()) + rect.getOrigin().getY() + rect.getHeight()};
    const double z = position.getZ();
    int beyond[4] = {0, 0, 0, 0}; // left, right, bottom, top
    for (double x : xs)
        for (double y : ys) {
            const double* m = transform;
            const double cx = m[0] * x + m[4] * y + m[8] * z + m[12];
            const double cy = m[1] * x + m[5] * y + m[9] * z + m[13];
            const double cw = m[3] * x + m[7] * y + m[11] * z + m[15];
            // A corner behind the eye makes the test meaningless: keep the quad.
            if (!(cw > 0.0))
                return false;
            beyond[0] += cx < -marginX * cw;
            beyond[1] += cx > marginX * cw;
            beyond[2] += cy < -marginY * cw;
            beyond[3] += cy > marginY * cw;
        }
    return beyond[0] == 4 || beyond[1] == 4 || beyond[2] == 4 || beyond[3] == 4;
}
