#include "scene/render_frame.h"

#include <cstdlib>
#include <ctime>

#include "render/gl.h"
#include "scene/frame_pause.h"
#include "scene/phase_sequencer.h"
#include "scene/scene_construction.h"
#include "scene/view_projection.h"

namespace {
// Light 1: a positional light above and behind the viewer, in eye coordinates.
const GLfloat LightAmbient[4] = {0.5f, 0.5f, 0.5f, 1.0f};
const GLfloat LightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const GLfloat LightPosition[4] = {0.0f, 1.0f, 2.0f, 1.0f};

// The scene's texture names, kept for the rest of the run and never deleted.
SceneTextures Textures{};
} // namespace

void InitScene(int width, int height)
{
    if (height == 0)
        height = 1;
    std::srand(static_cast<unsigned int>(std::time(nullptr)));
    Textures = CreateSceneTextures();

    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_TEXTURE_2D);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glLightfv(GL_LIGHT1, GL_AMBIENT, LightAmbient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, LightDiffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, LightPosition);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);

    // No viewport is set: it stays the one the context got when first made current.
    SetViewProjection(width, height);

    BuildSceneObjects(Textures);
}

void RenderFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glLoadIdentity();
    RunPhaseStep();
    glFlush();
    FramePause();
}
