// The immediate-mode calls the frame makes, on the web. They are collected
// with GL's own rule for current attributes (web/vertex_batch.h) and the
// batches of consecutive glBegin/glEnd pairs are merged into one, which is
// drawn through the emulation's immediate mode with every attribute given for
// every vertex, in one order: one draw instead of thousands a frame. Every
// GL call of the program that changes how a draw comes out, or draws, is
// defined here, in a *_substitutes.cpp file or in element_draw.cpp and draws
// the merged batch first, so the picture is what the calls one by one would
// make. Defining a GL function here takes the place of the emulation's,
// which stays reachable under the name Emscripten gives it for that:
// emscripten_ and the GL name.
#include "web/immediate_mode.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "web/vertex_batch.h"

extern "C" {
void emscripten_glBegin(GLenum mode);
void emscripten_glEnd();
void emscripten_glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void emscripten_glNormal3f(GLfloat x, GLfloat y, GLfloat z);
void emscripten_glTexCoord2f(GLfloat s, GLfloat t);
void emscripten_glVertex3f(GLfloat x, GLfloat y, GLfloat z);
}

namespace {

// The emulation's vertex buffer holds 2 MiB; a merged batch stays well below.
constexpr std::size_t kMostVertices = 24000;

web::ImmediateMode gImmediate;
web::VertexBatch gPending;

// One glBegin/glEnd of the emulation: colour, normal, texture point and
// position for each vertex, the same four in the same order every time.
void drawThroughEmulation(const web::VertexBatch& batch) {
  using B = web::VertexBatch;
  emscripten_glBegin(batch.mode);
  for (std::size_t at = 0; at < batch.data.size(); at += B::kFloats) {
    const float* v = batch.data.data() + at;
    emscripten_glColor4f(v[B::kColorAt], v[B::kColorAt + 1], v[B::kColorAt + 2],
                         v[B::kColorAt + 3]);
    emscripten_glNormal3f(v[B::kNormalAt], v[B::kNormalAt + 1], v[B::kNormalAt + 2]);
    emscripten_glTexCoord2f(v[B::kTexCoordAt], v[B::kTexCoordAt + 1]);
    emscripten_glVertex3f(v[0], v[1], v[2]);
  }
  emscripten_glEnd();
}

}  // namespace

namespace web {

void drawPending() {
  if (gPending.vertexCount() == 0) return;
  drawThroughEmulation(gPending);
  gPending.clear();
}

}  // namespace web

extern "C" {

void glBegin(GLenum mode) { gImmediate.begin(mode); }

void glEnd() {
  const web::VertexBatch& batch = gImmediate.end();
  if (batch.vertexCount() == 0) return;
  if (gPending.vertexCount() + 3 * batch.vertexCount() > kMostVertices) web::drawPending();
  if (web::appendIndependent(batch, gPending)) return;
  web::drawPending();
  if (!web::appendIndependent(batch, gPending)) drawThroughEmulation(batch);  // not merged
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { gImmediate.vertex(x, y, z); }

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { gImmediate.normal(x, y, z); }

void glTexCoord2f(GLfloat s, GLfloat t) { gImmediate.texCoord(s, t); }

// The emulation has no double-precision texture coordinates at all.
void glTexCoord2d(GLdouble s, GLdouble t) {
  gImmediate.texCoord(static_cast<float>(s), static_cast<float>(t));
}

// A colour set outside glBegin/glEnd is also the emulation's current colour,
// for what it draws from client arrays without a colour array.
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  gImmediate.color(r, g, b, a);
  if (!gImmediate.inside()) emscripten_glColor4f(r, g, b, a);
}

void glColor3f(GLfloat r, GLfloat g, GLfloat b) { glColor4f(r, g, b, 1.0f); }

}  // extern "C"

// The program's calls that change state or draw, passed on after drawing
// what is pending. A GL call the program starts making between two
// glBegin/glEnd pairs belongs here too.
#define DRAW_PENDING_FIRST(name, params, args) \
  extern "C" void emscripten_##name params;    \
  extern "C" void name params {                \
    web::drawPending();                        \
    emscripten_##name args;                    \
  }

DRAW_PENDING_FIRST(glClear, (GLbitfield mask), (mask))
DRAW_PENDING_FIRST(glEnable, (GLenum cap), (cap))
DRAW_PENDING_FIRST(glDisable, (GLenum cap), (cap))
DRAW_PENDING_FIRST(glBlendFunc, (GLenum source, GLenum destination), (source, destination))
DRAW_PENDING_FIRST(glDepthMask, (GLboolean flag), (flag))
DRAW_PENDING_FIRST(glMatrixMode, (GLenum mode), (mode))
DRAW_PENDING_FIRST(glPushMatrix, (), ())
DRAW_PENDING_FIRST(glPopMatrix, (), ())
DRAW_PENDING_FIRST(glLoadIdentity, (), ())
DRAW_PENDING_FIRST(glTranslatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
DRAW_PENDING_FIRST(glRotatef, (GLfloat angle, GLfloat x, GLfloat y, GLfloat z), (angle, x, y, z))
DRAW_PENDING_FIRST(glScalef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
DRAW_PENDING_FIRST(glMultMatrixd, (const GLdouble* m), (m))
DRAW_PENDING_FIRST(glMultMatrixf, (const GLfloat* m), (m))
DRAW_PENDING_FIRST(glLoadMatrixf, (const GLfloat* m), (m))
DRAW_PENDING_FIRST(glViewport, (GLint x, GLint y, GLsizei width, GLsizei height),
                   (x, y, width, height))
DRAW_PENDING_FIRST(gluPerspective, (GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar),
                   (fovy, aspect, zNear, zFar))
DRAW_PENDING_FIRST(glEnableClientState, (GLenum array), (array))
DRAW_PENDING_FIRST(glDisableClientState, (GLenum array), (array))
DRAW_PENDING_FIRST(glDrawArrays, (GLenum mode, GLint first, GLsizei count), (mode, first, count))
// Lit's flame buffer: where the next draws go, what they cover and write.
DRAW_PENDING_FIRST(glBindFramebuffer, (GLenum target, GLuint framebuffer), (target, framebuffer))
DRAW_PENDING_FIRST(glScissor, (GLint x, GLint y, GLsizei width, GLsizei height),
                   (x, y, width, height))
DRAW_PENDING_FIRST(glColorMask, (GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha),
                   (red, green, blue, alpha))
DRAW_PENDING_FIRST(glCopyTexSubImage2D,
                   (GLenum target, GLint level, GLint xoffset, GLint yoffset, GLint x, GLint y,
                    GLsizei width, GLsizei height),
                   (target, level, xoffset, yoffset, x, y, width, height))
DRAW_PENDING_FIRST(glFlush, (), ())
