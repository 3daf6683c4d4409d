#pragma once

// The steady phase's background is the same picture in every frame: nothing
// of it moves or fades there. Its first frame draws the sprite over the
// cleared frame and keeps a copy of the view; later frames put the copy back
// pixel for pixel, which spares a software renderer filtering the picture
// again; only its lit runs (render/lit_run_copy.h) where that costs less.
// A new viewport, or a change to the sprite's texture or alpha, draws and
// copies afresh. Needs the cleared frame, as the sprite does; leaves the
// blend, depth test and lighting off.
void DrawSteadyBackground();

// Drops the copy and makes room for one of width x height pixels, so that
// no frame allocates unless the view grows; InitScene calls it for every new
// context, with the drawable's size.
void ResetBackgroundCopy(int width, int height);
