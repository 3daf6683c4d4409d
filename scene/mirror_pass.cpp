#include "scene/mirror_pass.h"

#include "render/gl.h"
#include "scene/scene_objects.h"

namespace {
const float kFloorAlpha = 0.8f;

// Turns the view about the vertical line through the model at (0, 0, -5).
void applyTurn()
{
    glTranslatef(0.0f, 0.0f, -5.0f);
    glRotatef(TurnAngle, 0.0f, 1.0f, 0.0f);
    glRotatef(TiltAngle, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, 5.0f);
}
} // namespace

void DrawReflection()
{
    glPushMatrix();
    applyTurn();

    // The floor's pixels get stencil 1 and depth, but no colour.
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    FloorSprite.setTranslucent(false);
    FloorSprite.draw();

    // The model upside down, only where the floor is. y becomes -y - 1: the
    // mirror plane lies half a unit above the floor, which the picture is tuned to.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glStencilFunc(GL_EQUAL, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glPushMatrix();
    glScalef(1.0f, -1.0f, 1.0f);
    glTranslatef(0.0f, 1.0f, 0.0f);
    SceneModel.setTranslucent(true);
    SceneModel.draw();
    glPopMatrix();
    glDisable(GL_STENCIL_TEST);

    FloorSprite.setTranslucent(true);
    FloorSprite.setAlpha(kFloorAlpha);
    FloorSprite.draw();

    glPopMatrix();
}

void DrawUprightModel()
{
    glPushMatrix();
    applyTurn();
    SceneModel.setTranslucent(false);
    SceneModel.draw();
    glPopMatrix();
}

void DrawModelWithReflection()
{
    DrawReflection();
    DrawUprightModel();
}
