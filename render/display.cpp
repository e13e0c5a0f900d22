// The frame: everything that sets projection, viewport and camera.
#include <GL/glu.h>
#include <GL/glut.h>

#include <algorithm>
#include <cstdlib>

#include "render/render.h"

namespace {

constexpr double kFieldOfViewDegrees = 45.0;
constexpr double kNearPlane = 0.1;
constexpr double kFarPlane = 200.0;

void applyProjection(const ViewState& view) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(kFieldOfViewDegrees, aspectRatio(view.GW, view.GH), kNearPlane, kFarPlane);
  glMatrixMode(GL_MODELVIEW);
}

void applyCamera() {
  gluLookAt(0.0, 0.0, 3.0,   // eye
            0.0, 0.0, 0.0,   // looking at the origin
            0.0, 1.0, 0.0);  // up
}

}  // namespace

double aspectRatio(int width, int height) {
  return static_cast<double>(std::max(width, 1)) / static_cast<double>(std::max(height, 1));
}

void display(ViewState& view, const MeshState& meshes, FlameState& flame) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  applyProjection(view);
  glViewport(0, 0, view.GW, view.GH);
  applyCamera();
  drawObjects(view, meshes);
  glPopMatrix();
  // The particles are drawn without the camera, in eye coordinates.
  if (flame.flameOn) {
    drawParticles(flame, std::rand);
  }
  glutSwapBuffers();
  check_keys(flame);
  // Frames follow each other as fast as GLUT allows.
  glutPostRedisplay();
  glFlush();
}

void reshape(ViewState& view, int width, int height) {
  view.GW = width;
  view.GH = height;
}
