#include "mesh/triangle.h"

#include "render/gl.h"

void Triangle::draw() const
{
    const Vector3& a = vertices[0];
    const Vector3& b = vertices[1];
    const Vector3& c = vertices[2];
    Vector3 normal = (b - a).cross(c - a);
    normal.normalise();
    // The normal is sent at twice unit length; the scene never enables
    // GL_NORMALIZE, and its lighting is tuned to this.
    normal.setX(normal.getX() + normal.getX());
    normal.setY(normal.getY() + normal.getY());
    normal.setZ(normal.getZ() + normal.getZ());

    // The normal goes with every vertex, as the sprite's does.
    glBegin(GL_TRIANGLES);
    glNormal3f(normal.getX(), normal.getY(), normal.getZ());
    glVertex3f(a.getX(), a.getY(), a.getZ());
    glNormal3f(normal.getX(), normal.getY(), normal.getZ());
    glVertex3f(b.getX(), b.getY(), b.getZ());
    glNormal3f(normal.getX(), normal.getY(), normal.getZ());
    glVertex3f(c.getX(), c.getY(), c.getZ());
    glEnd();
}

void Triangle::read(std::istream& in)
{
    vertices[0].read(in);
    vertices[1].read(in);
    vertices[2].read(in);
}
