#include "render/draw_switches.h"

#include "render/gl.h"
#include "render/gl_capabilities.h"

namespace {
// What the context holds, as far as the draws know.
HeldDrawSwitches Held = {-1, -1, -1, 0, 0};

void setSwitch(GLenum capability, signed char& held, bool on)
{
    if (held == static_cast<signed char>(on))
        return;
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
    held = static_cast<signed char>(on);
}

void setEnvironment(GLint mode)
{
    if (Held.environment == mode)
        return;
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
    Held.environment = mode;
}

void setBlendSwitches(DrawBlend blend)
{
    const bool blended = blend == DrawBlend::Additive || blend == DrawBlend::AlphaBlended;
    const bool opaque = blend == DrawBlend::Opaque;
    setSwitch(GL_BLEND, Held.blend, blended);
    setSwitch(GL_DEPTH_TEST, Held.depthTest, opaque);
    setSwitch(GL_LIGHTING, Held.lighting, opaque);
    if (!blended)
        return;
    const GLenum destination = blend == DrawBlend::Additive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA;
    if (Held.destination != destination) {
        glBlendFunc(GL_SRC_ALPHA, destination);
        Held.destination = destination;
    }
}
} // namespace

void SetDrawSwitches(DrawBlend blend)
{
    setBlendSwitches(blend);
    setEnvironment(GL_MODULATE);
}

void SetDrawSwitches(DrawBlend blend, const Colour& tint, float alpha)
{
    setBlendSwitches(blend);
    // Unlit and white, the colour multiplies each texel by one and passes its
    // own alpha on: the replace mode gives the same (an RGB texture takes the
    // fragment's alpha) and spares the renderer the product, where the GL
    // keeps that alpha; otherwise the fades would be lost.
    const bool white = tint.r == 1.0f && tint.g == 1.0f && tint.b == 1.0f;
    const bool replace = kGlCapabilities.replaceKeepsAlpha && blend != DrawBlend::Opaque && white;
    setEnvironment(replace ? GL_REPLACE : GL_MODULATE);
    glColor4f(tint.r, tint.g, tint.b, alpha);
}

void ForgetDrawSwitches()
{
    Held = {-1, -1, -1, 0, 0};
}

HeldDrawSwitches DrawSwitchesHeld() { return Held; }
