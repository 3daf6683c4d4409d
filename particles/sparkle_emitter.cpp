#include "particles/sparkle_emitter.h"

#include <climits>
#include <cstdlib>

#include "render/gl.h"
#include "render/view_volume.h"

namespace {
// Every sparkle lives on this plane, far behind the model.
const float kSparkleZ = -90.0f;

// The whole units of x at which sparkles may start. A field narrower than one
// unit (or with bounds that are not numbers) still gets one, rather than a
// division by zero.
int startSpan(float minX, float maxX)
{
    const float width = maxX - minX;
    if (!(width >= 1.0f))
        return 1;
    if (width >= static_cast<float>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(width);
}
} // namespace

SparkleEmitter::SparkleEmitter(int count, float maxX, float maxY, float minX, float minY)
    : ParticleEmitter(), sparkles(count > 0 ? static_cast<std::size_t>(count) : 0, Particle()),
      minX(minX), minY(minY), maxX(maxX), maxY(maxY), texture(0)
{
    for (Particle& sparkle : sparkles)
        spawn(sparkle);
}

SparkleEmitter::~SparkleEmitter() = default;

void SparkleEmitter::setTexture(unsigned int value)
{
    texture = value;
    for (Particle& sparkle : sparkles)
        sparkle.setTexture(value);
}

void SparkleEmitter::spawn(Particle& sparkle)
{
    const int span = startSpan(minX, maxX);
    const float x = static_cast<float>(std::rand() % span) + minX;

    Vector3 velocity;
    velocity.setY(static_cast<float>(-((std::rand() % 100) / 100.0 + 1.0)));
    velocity.setX(static_cast<float>((std::rand() % 10) / 10000.0));
    Vector3 drift;
    drift.setZ(static_cast<float>((std::rand() % 100) / 10000.0 - 0.005));
    drift.setY(static_cast<float>((std::rand() % 100) / 1000.0 - 0.05));

    sparkle.setPosition(Vector3(x, maxY, kSparkleZ));
    sparkle.setVelocity(velocity);
    sparkle.setDrift(drift);
    sparkle.setTranslucent(true);
    sparkle.setTexture(texture);
    sparkle.setAlpha(static_cast<float>((std::rand() % 100) / 100.0));
    sparkle.setColour(getPalette()[std::rand() % kPaletteSize]);
}

void SparkleEmitter::update()
{
    for (Particle& sparkle : sparkles) {
        sparkle.update();
        if (!(sparkle.getAlpha() > 0.0f))
            sparkle.setAlpha(1.0f);
        if (sparkle.getPosition().getY() < minY)
            spawn(sparkle);
    }
}

void SparkleEmitter::draw()
{
    glPushMatrix();
    ViewVolume view;
    view.capture();
    for (Particle& sparkle : sparkles)
        if (!view.missesView(sparkle.getPosition(), sparkle.getRect()))
            sparkle.draw();
    glPopMatrix();
}
