#pragma once

// The seven texture names of the scene, made once per context and never deleted.
struct SceneTextures {
    unsigned int model;      // 109, gold
    unsigned int title;      // 112
    unsigned int caption;    // 111
    unsigned int glow;       // 110, the emitters' particles
    unsigned int floor;      // 116, checker tiles
    unsigned int background; // 118, star field
    unsigned int streak;     // 117, the sparkles
};

// Makes the scene's textures from its bitmaps, in the order of the fields above.
// Needs a current context.
SceneTextures CreateSceneTextures();

// Reads the model and places, textures and sizes every scene object for the
// start of the show; the first call also creates the three particle streams.
// A later call (a host that made a new context) sets the same streams up again
// instead of adding more.
void BuildSceneObjects(const SceneTextures& textures);
