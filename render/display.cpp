// The frame: everything that sets projection, viewport and camera.
#include <GL/glu.h>
#include <GL/glut.h>

#include <cstdlib>
#include <optional>

#include "particles/draw.h"
#include "render/lit_drawing.h"
#include "render/render.h"

void applyView(const ViewState& v) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(view::kFieldOfViewDegrees, view::aspectRatio(v.GW, v.GH), view::kNearPlane,
                 view::kFarPlane);
  glMatrixMode(GL_MODELVIEW);
  glViewport(0, 0, v.GW, v.GH);
  if (view::isStartView(v.orbit)) {
    gluLookAt(view::kEye.x, view::kEye.y, view::kEye.z, view::kLookAt.x, view::kLookAt.y,
              view::kLookAt.z, view::kUp.x, view::kUp.y, view::kUp.z);
    return;
  }
  const view::Rig r = rigOf(v);
  gluLookAt(r.eye.x, r.eye.y, r.eye.z, r.centre.x, r.centre.y, r.centre.z, r.up.x, r.up.y, r.up.z);
}

std::optional<view::FlamePlacement> movedFlame(const ViewState& v) {
  if (view::isStartView(v.orbit)) return std::nullopt;
  return view::flamePlacement(rigOf(v), v.flameDepth);
}

void display(ViewState& view, const MeshState& meshes, FlameState& flame,
             const TextureState& textures, LitState& lit, void (*drawn)()) {
  const bool litMode = view.display_mode == kLit;
  // The start view draws the flame in eye coordinates, as it always has; a
  // moved camera draws it on the lighter.
  const std::optional<view::FlamePlacement> placed = movedFlame(view);
  const view::FlamePlacement* placement = placed ? &*placed : nullptr;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  applyView(view);
  if (litMode) {
    drawLitObjects(view, meshes, flame, textures, lit, placement);
  } else {
    drawObjects(view, meshes);
  }
  glPopMatrix();
  // The particles are drawn without the camera, in eye coordinates.
  if (flame.flameOn) {
    if (litMode) {
      drawLitFlame(view, flame, lit, placement);
    } else if (placement != nullptr) {
      drawPlacedParticles(flame, std::rand, *placement);
    } else {
      drawParticles(flame, std::rand);
    }
  }
  if (drawn != nullptr) drawn();
  glutSwapBuffers();
  check_keys(flame);
  // Frames follow each other as fast as GLUT allows.
  glutPostRedisplay();
  glFlush();
}
