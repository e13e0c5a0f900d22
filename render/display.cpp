// The frame: everything that sets projection, viewport and camera.
#include <GL/glu.h>
#include <GL/glut.h>

#include <cstdlib>

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
  gluLookAt(view::kEye.x, view::kEye.y, view::kEye.z, view::kLookAt.x, view::kLookAt.y,
            view::kLookAt.z, view::kUp.x, view::kUp.y, view::kUp.z);
}

void display(ViewState& view, const MeshState& meshes, FlameState& flame,
             const TextureState& textures, LitState& lit, void (*drawn)()) {
  const bool litMode = view.display_mode == kLit;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  applyView(view);
  if (litMode) {
    drawLitObjects(view, meshes, flame, textures, lit);
  } else {
    drawObjects(view, meshes);
  }
  glPopMatrix();
  // The particles are drawn without the camera, in eye coordinates.
  if (flame.flameOn) {
    if (litMode) {
      drawLitParticles(flame, lit);
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
