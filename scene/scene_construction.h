#pragma once

// The seven texture names of the scene, made once per context and never deleted.
struct SceneTextures {
    unsigned int model;      // flat gold
    unsigned int title;
    unsigned int caption;
    unsigned int glow;       // the emitters' particles
    unsigned int floor;      // checker tiles
    unsigned int background; // star field
    unsigned int streak;     // the sparkles
};

// Makes the scene's textures from its bitmaps, in the order of the fields above.
// Needs a current context.
SceneTextures CreateSceneTextures();

// Reads the model and places, textures and sizes every scene object for the
// start of the show; the first call also creates the three particle streams.
// A later call (a host that made a new context) sets the same streams up again
// instead of adding more.
void BuildSceneObjects(const SceneTextures& textures);
