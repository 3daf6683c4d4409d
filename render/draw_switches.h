#pragma once
#include "render/colour.h"

// How a draw's fragments meet the frame. An opaque draw is depth-tested and
// lit and does not blend; the blended ones are neither depth-tested nor lit.
enum class DrawBlend {
    Opaque,
    // GL_SRC_ALPHA, GL_ONE: adds the texel scaled by alpha; black adds nothing.
    Additive,
    // GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA: covers what lies behind by alpha.
    AlphaBlended,
    // Neither blended, depth-tested nor lit: for a draw at full alpha onto the
    // just-cleared black frame, where the additive blend would give the same pixels.
    Unblended,
};

// The blend, depth-test and lighting switches, the blend function and the
// texture environment's mode that every draw sets at its start and leaves so.
// A switch already holding its value is not set again, so code that changes
// any of them in another way calls ForgetDrawSwitches afterwards, as every
// new context and every frame's start do. The mode is modulate, except for
// unlit draws with a white tint, where replace gives the same pixels.
void SetDrawSwitches(DrawBlend blend);
// The same, then the current colour: the tint's red, green and blue with alpha.
void SetDrawSwitches(DrawBlend blend, const Colour& tint, float alpha);
void ForgetDrawSwitches();

// What the switches' cache believes the context holds, for checking it
// against OpenGL: each switch -1 unknown, else 0 or 1; the blend function's
// destination factor and the texture environment's mode 0 unknown.
struct HeldDrawSwitches {
    signed char blend;
    signed char depthTest;
    signed char lighting;
    unsigned int destination;
    int environment;
};
HeldDrawSwitches DrawSwitchesHeld();
