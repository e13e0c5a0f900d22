// The immediate-mode calls the frame makes, on the web: collected with GL's
// own rule for current attributes (web/vertex_batch.h) and drawn at glEnd as
// client arrays, which the emulation draws correctly. Defining these here
// takes the place of the emulation's versions of them.
#include <GL/gl.h>
#include <webgl/webgl1.h>

#include "web/vertex_batch.h"

// The emulation's own colour call, under the name Emscripten gives every GL
// function so that a program can define its own.
extern "C" void emscripten_glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);

namespace {

web::ImmediateMode gImmediate;

// Only the arrays of one batch are enabled, and only while it is drawn: the
// rest of the frame sees client state as it was.
void drawBatch(const web::VertexBatch& batch) {
  if (batch.vertexCount() == 0) return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, batch.positions.data());
  glColorPointer(4, GL_FLOAT, 0, batch.colors.data());
  glNormalPointer(GL_FLOAT, 0, batch.normals.data());
  glTexCoordPointer(2, GL_FLOAT, 0, batch.texCoords.data());
  glDrawArrays(batch.mode, 0, static_cast<GLsizei>(batch.vertexCount()));
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace

extern "C" {

void glBegin(GLenum mode) { gImmediate.begin(mode); }

void glEnd() { drawBatch(gImmediate.end()); }

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
