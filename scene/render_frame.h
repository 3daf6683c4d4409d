#pragma once

// The two doors every host uses. InitScene once, with the drawable's client
// size, when an OpenGL context with depth and stencil is current; then
// RenderFrame once per tick, before the host presents the frame.
void InitScene(int width, int height);
void RenderFrame();
