#pragma once

// The steady phase's background is the same picture in every frame: nothing
// of it moves or fades there. A frame draws the sprite over the cleared frame
// and keeps a copy of the view; later frames put the copy back pixel for
// pixel, which spares a software renderer filtering the picture again; only
// its lit runs (render/lit_run_copy.h) where that costs less.
//
// The copy is a cache of pixels that OpenGL does not promise: where the
// window was covered or off screen, or its buffer not yet at the view's new
// size, the read-back holds whatever was there. So a copy is trusted for 64
// frames (about a second) and then taken afresh; it is taken only from a
// frame whose view the frame before it had too; a new viewport, a change to
// the sprite's texture or alpha, or a host's word that the window was
// disturbed makes it stale. Where the frame does not hold 8 bits a channel
// the sprite is drawn every frame: there a copy need not give its pixels.
// Needs the cleared frame, as the sprite does; leaves the blend, depth test
// and lighting off.
void DrawSteadyBackground();

// Hosts call this when what the window shows may have been spoiled or its
// buffer changed: an expose, a change of visibility, a move or resize, a
// display change. The next frames draw the background and copy it afresh.
void InvalidateBackgroundCopy();

// Drops the copy and makes room for one of width x height pixels, so that
// no frame allocates unless the view grows; InitScene calls it for every new
// context, with the drawable's size.
void ResetBackgroundCopy(int width, int height);
