#include "scene/render_state.h"

#include "render/draw_switches.h"
#include "render/gl.h"
#include "render/gl_capabilities.h"

namespace {
// Light 1: a positional light above and behind the viewer, in eye coordinates.
const GLfloat LightAmbient[4] = {0.5f, 0.5f, 0.5f, 1.0f};
const GLfloat LightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const GLfloat LightPosition[4] = {0.0f, 1.0f, 2.0f, 1.0f};
// Where every light is a direction and every normal unit length, the light
// comes from that point as the model at (0, 0, -5) sees it, and shines twice
// as strongly, as the model's normals of twice unit length make it shine.
const GLfloat DirectionalLightDiffuse[4] = {2.0f, 2.0f, 2.0f, 1.0f};
const GLfloat DirectionalLightPosition[4] = {0.0f, 1.0f, 7.0f, 0.0f};
} // namespace

void SetFixedRenderState()
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_TEXTURE_2D);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glLightfv(GL_LIGHT1, GL_AMBIENT, LightAmbient);
    const bool exact = kGlCapabilities.fixedFunctionLighting;
    glLightfv(GL_LIGHT1, GL_DIFFUSE, exact ? LightDiffuse : DirectionalLightDiffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, exact ? LightPosition : DirectionalLightPosition);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    // A new context, or switches set behind the draws' backs.
    ForgetDrawSwitches();
}
