#include "scene/render_frame.h"

#include <cstdlib>
#include <ctime>

#include "render/draw_switches.h"
#include "render/gl.h"
#include "scene/background_copy.h"
#include "scene/frame_pause.h"
#include "scene/phase_sequencer.h"
#include "scene/render_state.h"
#include "scene/scene_construction.h"
#include "scene/view_projection.h"

namespace {
// The scene's texture names, kept for the rest of the run and never deleted.
SceneTextures Textures{};
bool HostGivesSeed = false;
unsigned int HostSeed = 0;
} // namespace

void SetSceneSeed(unsigned int seed)
{
    HostGivesSeed = true;
    HostSeed = seed;
}

void InitScene(int width, int height)
{
    if (height == 0)
        height = 1;
    std::srand(HostGivesSeed ? HostSeed : static_cast<unsigned int>(std::time(nullptr)));
    Textures = CreateSceneTextures();
    ResetBackgroundCopy(width, height);

    SetFixedRenderState();

    // No viewport is set: it stays the one the context got when first made current.
    SetViewProjection(width, height);

    BuildSceneObjects(Textures);
}

void BeginFrame()
{
    // Whatever the host did between frames, the first draw sets its switches.
    ForgetDrawSwitches();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glLoadIdentity();
}

void RenderFrame()
{
    BeginFrame();
    RunPhaseStep();
    glFlush();
    FramePause();
}
