// The GL, GLU and GLUT calls whose web emulation is wrong or missing, made
// here from the program's own numbers. Defining them here takes the place of
// the emulation's versions.
#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glut.h>
#include <emscripten.h>
#include <webgl/webgl1.h>

#include "web/immediate_mode.h"
#include "web/look_at.h"

namespace {

unsigned gFramesDrawn = 0;
// The page's "Save picture" was chosen: the next frame is handed to it.
bool gPictureWanted = false;

// WebGL has no GL_CLAMP (which may blend in a border colour); the nearest it
// has is clamping to the edge, which is what the checkerboard shows anyway.
GLint wrapOnTheWeb(GLenum pname, GLint param) {
  const bool wrap = pname == GL_TEXTURE_WRAP_S || pname == GL_TEXTURE_WRAP_T;
  return wrap && param == GL_CLAMP ? GL_CLAMP_TO_EDGE : param;
}

}  // namespace

extern "C" {

// The emulation's gluLookAt passes its arguments to its matrix library in the
// wrong order and leaves the camera at the origin; it also replaces the
// matrix where GLU multiplies onto it.
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
  const web::Matrix4 m =
      web::lookAtMatrix({eyeX, eyeY, eyeZ}, {centerX, centerY, centerZ}, {upX, upY, upZ});
  glMultMatrixd(m.data());
}

// WebGL takes a format as the internal format, never a number of components
// as GL 1.0 did: the textures would be left out, and the lighter drawn black.
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const void* pixels) {
  web::drawPending();
  const bool componentCount = internalFormat >= 1 && internalFormat <= 4;
  emscripten_glTexImage2D(target, level,
                          componentCount ? static_cast<GLint>(format) : internalFormat, width,
                          height, border, format, type, pixels);
}

// GL creates a texture the first time a name is bound, and name 0 is a texture
// of its own; WebGL knows only the textures it handed out and has no default
// one. The program binds the names its textures are known by (2 and 3, and 0
// for the checkerboard) without asking for them, so they are made here when
// first bound, and later names handed out go past them.
EM_JS(void, makeTextureForName, (GLuint name), {
  if (GL.textures[name]) return;
  var texture = GLctx.createTexture();
  texture.name = name;
  GL.textures[name] = texture;
  if (GL.counter <= name) GL.counter = name + 1;
});

// Binding the texture already bound changes nothing: the frame does it for
// every face, and the faces stay one draw.
void glBindTexture(GLenum target, GLuint texture) {
  static GLenum boundTarget = 0;
  static GLuint bound = 0;
  if (target == boundTarget && texture == bound) return;
  boundTarget = target;
  bound = texture;
  web::drawPending();
  makeTextureForName(texture);
  emscripten_glBindTexture(target, texture);
}

// The wrap modes through wrapOnTheWeb.
void glTexParameteri(GLenum target, GLenum pname, GLint param) {
  web::drawPending();
  emscripten_glTexParameteri(target, pname, wrapOnTheWeb(pname, param));
}

void glTexParameterf(GLenum target, GLenum pname, GLfloat param) {
  web::drawPending();
  const GLint asInt = static_cast<GLint>(param);
  if (static_cast<GLfloat>(asInt) == param && wrapOnTheWeb(pname, asInt) != asInt) {
    emscripten_glTexParameteri(target, pname, wrapOnTheWeb(pname, asInt));
  } else {
    emscripten_glTexParameterf(target, pname, param);
  }
}

// WebGL has one hint, for mipmaps; the others would only put a warning on
// the console.
void glHint(GLenum target, GLenum mode) {
  if (target == GL_GENERATE_MIPMAP_HINT) emscripten_glHint(target, mode);
}

// WebGL has no flat shading; the emulation ignores the call too, with a notice
// on the console each time.
void glShadeModel(GLenum /*mode*/) {}

// The browser shows the canvas after each frame by itself; the swap only
// counts the frame, for the page's frame rate, and hands the frame to the
// page when it wants a picture: the canvas is read right after the frame is
// drawn, in the same task, while the drawing buffer still holds it (WebGL
// clears it once the browser has shown it, and keeping it costs every frame).
void glutSwapBuffers() {
  web::drawPending();
  ++gFramesDrawn;
  if (gPictureWanted) {
    gPictureWanted = false;
    EM_ASM(Module.savePicture());
  }
}

EMSCRIPTEN_KEEPALIVE unsigned lighterWebFramesDrawn() { return gFramesDrawn; }

EMSCRIPTEN_KEEPALIVE void lighterWebWantPicture() { gPictureWanted = true; }

// Lit mesh mode, once it is merged: the emulation has no glLightf, glMaterialf
// or glColorMaterial, and a positional light acts as a directional one.
// Their substitutes go here, beside the others (see web/README.md).

}  // extern "C"
