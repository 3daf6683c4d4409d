// OpenGL 1.1 and GLU entry points that the scene core calls, as no-ops: the
// benchmarks link this instead of a driver, so they time the saver's own CPU
// work (normals, matrices kept by the driver excluded) and nothing else.
// Each call stays a real out-of-line call, as it is to a driver.
#include "bench/stub_gl.h"

#include "render/gl.h"

namespace {
GLuint NextTextureName = 1;
GLuint NextListName = 1;
unsigned long long Calls = 0;
} // namespace

unsigned long long StubGlCallCount() { return Calls; }

extern "C" {

void GLAPIENTRY glBegin(GLenum) { ++Calls; }
void GLAPIENTRY glEnd() { ++Calls; }
void GLAPIENTRY glBindTexture(GLenum, GLuint) { ++Calls; }
void GLAPIENTRY glCallList(GLuint) { ++Calls; }
void GLAPIENTRY glBlendFunc(GLenum, GLenum) { ++Calls; }
void GLAPIENTRY glClear(GLbitfield) { ++Calls; }
void GLAPIENTRY glClearColor(GLclampf, GLclampf, GLclampf, GLclampf) { ++Calls; }
void GLAPIENTRY glClearDepth(GLclampd) { ++Calls; }
void GLAPIENTRY glColor4f(GLfloat, GLfloat, GLfloat, GLfloat) { ++Calls; }
void GLAPIENTRY glColorMask(GLboolean, GLboolean, GLboolean, GLboolean) { ++Calls; }
void GLAPIENTRY glDepthFunc(GLenum) { ++Calls; }
void GLAPIENTRY glDisable(GLenum) { ++Calls; }
void GLAPIENTRY glDrawPixels(GLsizei, GLsizei, GLenum, GLenum, const GLvoid*) { ++Calls; }
void GLAPIENTRY glEnable(GLenum) { ++Calls; }
void GLAPIENTRY glEndList() { ++Calls; }
void GLAPIENTRY glFlush() { ++Calls; }
void GLAPIENTRY glFinish() { ++Calls; }
void GLAPIENTRY glHint(GLenum, GLenum) { ++Calls; }
void GLAPIENTRY glLightfv(GLenum, GLenum, const GLfloat*) { ++Calls; }
void GLAPIENTRY glLoadIdentity() { ++Calls; }
void GLAPIENTRY glMatrixMode(GLenum) { ++Calls; }
void GLAPIENTRY glNewList(GLuint, GLenum) { ++Calls; }
void GLAPIENTRY glNormal3f(GLfloat, GLfloat, GLfloat) { ++Calls; }
void GLAPIENTRY glPixelStorei(GLenum, GLint) { ++Calls; }
void GLAPIENTRY glRasterPos2f(GLfloat, GLfloat) { ++Calls; }
void GLAPIENTRY glReadPixels(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, GLvoid*) { ++Calls; }
void GLAPIENTRY glPopMatrix() { ++Calls; }
void GLAPIENTRY glPushMatrix() { ++Calls; }
void GLAPIENTRY glRotatef(GLfloat, GLfloat, GLfloat, GLfloat) { ++Calls; }
void GLAPIENTRY glScalef(GLfloat, GLfloat, GLfloat) { ++Calls; }
void GLAPIENTRY glShadeModel(GLenum) { ++Calls; }
void GLAPIENTRY glStencilFunc(GLenum, GLint, GLuint) { ++Calls; }
void GLAPIENTRY glStencilOp(GLenum, GLenum, GLenum) { ++Calls; }
void GLAPIENTRY glTexCoord2d(GLdouble, GLdouble) { ++Calls; }
void GLAPIENTRY glTexCoord2f(GLfloat, GLfloat) { ++Calls; }
void GLAPIENTRY glTexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const GLvoid*)
{
    ++Calls;
}
void GLAPIENTRY glTexEnvi(GLenum, GLenum, GLint) { ++Calls; }
void GLAPIENTRY glTexParameteri(GLenum, GLenum, GLint) { ++Calls; }
void GLAPIENTRY glTranslatef(GLfloat, GLfloat, GLfloat) { ++Calls; }
void GLAPIENTRY glVertex3f(GLfloat, GLfloat, GLfloat) { ++Calls; }

// The size the benchmarks' scene is made for.
void GLAPIENTRY glGetIntegerv(GLenum, GLint* values)
{
    ++Calls;
    values[0] = 0;
    values[1] = 0;
    values[2] = 640;
    values[3] = 480;
}

// No matrices are kept: a zero matrix puts every particle in view, so the
// benchmarks time each particle's whole draw.
void GLAPIENTRY glGetFloatv(GLenum, GLfloat* values)
{
    ++Calls;
    for (int i = 0; i < 16; ++i)
        values[i] = 0.0f;
}

// Distinct names, as a driver would give, so textures and lists stay told apart.
GLuint GLAPIENTRY glGenLists(GLsizei range)
{
    ++Calls;
    const GLuint first = NextListName;
    NextListName += static_cast<GLuint>(range);
    return first;
}

void GLAPIENTRY glDisableClientState(GLenum) { ++Calls; }
void GLAPIENTRY glDrawArrays(GLenum, GLint, GLsizei) { ++Calls; }
void GLAPIENTRY glEnableClientState(GLenum) { ++Calls; }
GLenum GLAPIENTRY glGetError()
{
    ++Calls;
    return GL_NO_ERROR;
}
void GLAPIENTRY glOrtho(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble) { ++Calls; }
void GLAPIENTRY glPopAttrib() { ++Calls; }
void GLAPIENTRY glPopClientAttrib() { ++Calls; }
void GLAPIENTRY glPushAttrib(GLbitfield) { ++Calls; }
void GLAPIENTRY glPushClientAttrib(GLbitfield) { ++Calls; }
void GLAPIENTRY glTexCoordPointer(GLint, GLenum, GLsizei, const GLvoid*) { ++Calls; }
void GLAPIENTRY glTexSubImage2D(GLenum, GLint, GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, const GLvoid*)
{
    ++Calls;
}
void GLAPIENTRY glVertexPointer(GLint, GLenum, GLsizei, const GLvoid*) { ++Calls; }

void GLAPIENTRY glGenTextures(GLsizei n, GLuint* textures)
{
    ++Calls;
    for (GLsizei i = 0; i < n; ++i)
        textures[i] = NextTextureName++;
}

void GLAPIENTRY gluPerspective(GLdouble, GLdouble, GLdouble, GLdouble) { ++Calls; }
}
