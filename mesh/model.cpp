#include "mesh/model.h"

#include <istream>

#include "render/gl.h"

Model::Model() : alpha(0.0f), position(), parts(new MeshPart[kPartCount]) {}

Model::~Model() = default;

void Model::load(std::istream& in)
{
    // Part 0 on top, 1 lower right, 2 lower left (before the model's scale).
    const Vector3 placements[kPartCount] = {
        Vector3(0.0f, 0.0f, 0.0f), Vector3(1.36f, -1.38f, 0.0f), Vector3(-1.36f, -1.38f, 0.0f)};
    for (int i = 0; i < kPartCount; ++i) {
        in.clear();
        in.seekg(0, std::ios::beg);
        in.clear();
        parts[i].read(in);
        parts[i].setPosition(placements[i]);
    }
}

void Model::compileFaces()
{
    for (int i = 0; i < kPartCount; ++i)
        parts[i].compileFaces();
}

void Model::draw()
{
    glPushMatrix();
    glTranslatef(position.getX(), position.getY(), position.getZ());
    glScalef(0.35f, 0.5f, 0.5f);
    for (int i = 0; i < kPartCount; ++i)
        parts[i].draw();
    glPopMatrix();
}

void Model::setTexture(unsigned int texture)
{
    for (int i = 0; i < kPartCount; ++i)
        parts[i].setTexture(texture);
}

void Model::setTranslucent(bool translucent)
{
    for (int i = 0; i < kPartCount; ++i)
        parts[i].setTranslucent(translucent);
}

void Model::setAlpha(float value)
{
    alpha = value;
    for (int i = 0; i < kPartCount; ++i)
        parts[i].setAlpha(value);
}

void Model::fade(float delta)
{
    alpha += delta;
    for (int i = 0; i < kPartCount; ++i)
        parts[i].fade(delta);
}

void Model::setSpin(bool on)
{
    for (int i = 0; i < kPartCount; ++i)
        parts[i].setSpin(on);
}
