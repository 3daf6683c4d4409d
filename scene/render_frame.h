#pragma once

// The two doors every host uses. InitScene once, with the drawable's client
// size, when an OpenGL context with depth and stencil is current; then
// RenderFrame once per tick, before the host presents the frame.
void InitScene(int width, int height);
void RenderFrame();

// RenderFrame's start: a cleared frame (colour, depth, stencil), the identity
// modelview matrix, and the draws' switches to be set afresh. A frame
// benchmark's yardstick is this and a flush.
void BeginFrame();

// The seed InitScene gives the random generator. The saver seeds from the
// clock, so each run differs; a host that wants the same frames on every run
// (the offscreen player, the tests) hands in its own before InitScene.
void SetSceneSeed(unsigned int seed);
