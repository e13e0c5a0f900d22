// Lit's flame on GL: the particles' squares drawn soft into the flame
// buffer, a fraction of the window's size and only over the particles' box
// on screen, then added onto the frame with one textured rectangle. The
// flame's fill, a thousand blended squares, shrinks with the buffer's area.
// The rectangle is drawn at the depth of the particles' nearest point,
// under the frame's depth test: the lighter hides the flame wherever it is
// nearer than all of it, at the window's own resolution, and no mesh is
// drawn twice.
//
// Spaces: the squares are in the frame's eye coordinates (flame_quads.h);
// the buffer's pixels are the window's divided by kFlameBufferDivisor
// (flame_buffer.h); the rectangles that save, restore and add the buffer are
// given in clip coordinates under identity matrices.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdlib>

#include "render/lit_drawing.h"
#include "render/placement.h"

namespace {

using Path = FlameTarget::Path;

void choosePath(FlameTarget& target) {
  if (target.path != Path::kUnchosen) return;
  const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  target.path = hasFramebufferObjects(version, extensions) ? Path::kFramebuffer : Path::kCopy;
}

// An RGBA texture of the buffer's texture size, filtered as it is read:
// linearly for the flame, which is magnified onto the frame, to the
// nearest texel for the saved corner, which goes back one to one.
unsigned int newTexture(int width, int height, GLint filter) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  return name;
}

void release(FlameTarget& target) {
  if (target.framebuffer != 0) glDeleteFramebuffers(1, &target.framebuffer);
  for (unsigned int* name : {&target.flameTexture, &target.savedTexture}) {
    if (*name != 0) glDeleteTextures(1, name);
    *name = 0;
  }
  target.framebuffer = 0;
  target.textureWidth = target.textureHeight = 0;
}

// The flame texture as a framebuffer's colour, with no depth of its own;
// false, with nothing left made, when the driver cannot draw into it.
bool makeFramebuffer(FlameTarget& target) {
  glGenFramebuffers(1, &target.framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target.flameTexture,
                         0);
  const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (!complete) {
    glDeleteFramebuffers(1, &target.framebuffer);
    target.framebuffer = 0;
  }
  return complete;
}

// Makes the buffer on first use and again when the window's size asks for
// another texture size. A framebuffer the driver refuses leaves the copy
// path for the rest of the run.
void makeReady(FlameTarget& target, const FlameBufferSize& size) {
  choosePath(target);
  if (target.flameTexture != 0 && target.textureWidth == size.textureWidth &&
      target.textureHeight == size.textureHeight) {
    return;
  }
  release(target);
  target.textureWidth = size.textureWidth;
  target.textureHeight = size.textureHeight;
  target.flameTexture = newTexture(size.textureWidth, size.textureHeight, GL_LINEAR);
  if (target.path == Path::kFramebuffer && !makeFramebuffer(target)) target.path = Path::kCopy;
  if (target.path == Path::kCopy) {
    target.savedTexture = newTexture(size.textureWidth, size.textureHeight, GL_NEAREST);
  }
}

// A rectangle of clip coordinates [x0, x1] by [y0, y1] at depth z showing
// the texture bound over [s0, s1] by [t0, t1], in white, under identity
// matrices.
struct Rect {
  float x0, y0, x1, y1;
};
void drawTexturedRect(const Rect& clip, const Rect& texture, float z = 0.0f) {
  const FlameVertex corners[4] = {
      {clip.x0, clip.y0, z, texture.x0, texture.y0, 1.0f, 1.0f, 1.0f, 1.0f},
      {clip.x1, clip.y0, z, texture.x1, texture.y0, 1.0f, 1.0f, 1.0f, 1.0f},
      {clip.x0, clip.y1, z, texture.x0, texture.y1, 1.0f, 1.0f, 1.0f, 1.0f},
      {clip.x1, clip.y1, z, texture.x1, texture.y1, 1.0f, 1.0f, 1.0f, 1.0f}};
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(FlameVertex), &corners[0].x);
  glTexCoordPointer(2, GL_FLOAT, sizeof(FlameVertex), &corners[0].s);
  glColorPointer(4, GL_FLOAT, sizeof(FlameVertex), &corners[0].r);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

// `box` in pixels of a `width` by `height` viewport, in clip coordinates;
// and in texture coordinates of the buffer's texture.
Rect clipRectOf(const PixelBox& box, int width, int height) {
  auto clip = [](int v, int extent) { return 2.0f * static_cast<float>(v) / extent - 1.0f; };
  return {clip(box.x0, width), clip(box.y0, height), clip(box.x1, width), clip(box.y1, height)};
}
Rect textureRectOf(const PixelBox& box, const FlameTarget& target) {
  const auto w = static_cast<float>(target.textureWidth);
  const auto h = static_cast<float>(target.textureHeight);
  return {box.x0 / w, box.y0 / h, box.x1 / w, box.y1 / h};
}

void copyToTexture(unsigned int texture, const PixelBox& box) {
  glBindTexture(GL_TEXTURE_2D, texture);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, box.x0, box.y0, box.x0, box.y0, box.width(), box.height());
}

// Where the buffer's pixels `box` are drawn: the framebuffer, or the back
// buffer's lower-left corner, whose picture is saved first.
void beginTarget(const FlameTarget& target, const PixelBox& box) {
  if (target.path == Path::kFramebuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
  } else {
    copyToTexture(target.savedTexture, box);
  }
}

// Back to the window; the copy path takes the flame into its texture and
// puts the corner's picture back, pixel for pixel.
void endTarget(const FlameTarget& target, const PixelBox& box, const ViewState& view) {
  if (target.path == Path::kFramebuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return;
  }
  copyToTexture(target.flameTexture, box);
  glViewport(0, 0, view.GW, view.GH);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glBindTexture(GL_TEXTURE_2D, target.savedTexture);
  drawTexturedRect(clipRectOf(box, view.GW, view.GH), textureRectOf(box, target));
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
}

// The squares, soft, each blended by its alpha onto what the others add
// (GL_SRC_ALPHA, GL_ONE, the frame's blending), without a depth test (the
// buffer has no depth; a copied corner's is the frame's, elsewhere) and
// without depth writes, so that no square's dark corners hide another.
void drawQuads(const FlameQuads& quads, unsigned int particleTexture) {
  glBindTexture(GL_TEXTURE_2D, particleTexture);
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_FALSE);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  const FlameVertex* v = quads.vertices.data();
  glVertexPointer(3, GL_FLOAT, sizeof(FlameVertex), &v->x);
  glTexCoordPointer(2, GL_FLOAT, sizeof(FlameVertex), &v->s);
  glColorPointer(4, GL_FLOAT, sizeof(FlameVertex), &v->r);
  glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(quads.count));
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDepthMask(GL_TRUE);
  glEnable(GL_DEPTH_TEST);
}

// The buffer added onto the frame over `box` of its pixels, at `depth`
// under the frame's depth test, writing no depth.
void addOntoFrame(const FlameTarget& target, const PixelBox& box, const FlameBufferSize& size,
                  float depth) {
  glDepthMask(GL_FALSE);
  glBlendFunc(GL_ONE, GL_ONE);
  glBindTexture(GL_TEXTURE_2D, target.flameTexture);
  drawTexturedRect(clipRectOf(box, size.width, size.height), textureRectOf(box, target), depth);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glDepthMask(GL_TRUE);
}

// Where the squares are through this frame's matrices: their window box
// and the depth of their nearest point.
struct OnScreen {
  PixelBox box;
  float nearestDepth = -1.0f;
};
OnScreen onScreen(const FlameQuads& quads, const ViewState& view) {
  float projection[16], modelview[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  return {windowBoxOf(projection, modelview, quads.low, quads.high, view.GW, view.GH),
          nearestDepthOf(projection, modelview, quads.low, quads.high)};
}

}  // namespace

void useFlamePath(LitState& lit, FlameTarget::Path path) {
  release(lit.flameTarget);
  lit.flameTarget.path = path;
}

void drawLitFlame(const ViewState& view, FlameState& flame, LitState& lit,
                  const view::FlamePlacement* moved) {
  // The squares show the particles as they are before this frame moves
  // them, as in the other modes; the pass draws the same random numbers.
  buildFlameQuads(flame, lit.flameQuads, moved);
  particlePass(flame, std::rand, nullptr);
  const FlameQuads& quads = lit.flameQuads;
  const FlameBufferSize size = flameBufferSize(view.GW, view.GH);
  if (quads.count == 0 || size.empty()) return;
  const OnScreen where = onScreen(quads, view);
  const PixelBox& windowBox = where.box;
  if (windowBox.empty()) return;
  FlameTarget& target = lit.flameTarget;
  makeReady(target, size);
  // The squares' pixels, and a pixel more all round for the linear filter
  // to read when the buffer is added on; in the copy path also within the
  // back buffer.
  const PixelBox drawn = bufferBoxOf(windowBox, view.GW, view.GH, size);
  const PixelBox limits{0, 0, std::min(target.textureWidth, view.GW),
                        std::min(target.textureHeight, view.GH)};
  const PixelBox cleared = grownWithin(drawn, 1, limits);
  if (drawn.empty() || cleared.empty()) return;

  beginTarget(target, cleared);
  glViewport(0, 0, size.width, size.height);
  glEnable(GL_SCISSOR_TEST);
  glScissor(cleared.x0, cleared.y0, cleared.width(), cleared.height());
  glClear(GL_COLOR_BUFFER_BIT);
  drawQuads(quads, lit.particleTexture);
  glDisable(GL_SCISSOR_TEST);
  endTarget(target, cleared, view);
  glViewport(0, 0, view.GW, view.GH);
  addOntoFrame(target, drawn, size, where.nearestDepth);
  glBindTexture(GL_TEXTURE_2D, kSilverTextureName);
}
