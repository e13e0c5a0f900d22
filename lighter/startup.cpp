#include "lighter/startup.h"

#include <GL/glut.h>

#include <cstdio>
#include <cstdlib>

#include "lighter/callbacks.h"
#include "mesh/prepare.h"
#include "mesh/reader.h"

namespace {

constexpr int kCheckerSize = 64;

void createWindow(Scene& s, int* argc, char** argv) {
  s.GW = view::kWindowWidth;
  s.GH = view::kWindowHeight;
  glutInit(argc, argv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(s.GW, s.GH);
  glutInitWindowPosition(view::kWindowX, view::kWindowY);
  glutCreateWindow("Lighter Demonstration");
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);  // replaced by black below
}

void loadTextures(Scene& s) {
  makeCheckerBoard(s, kCheckerSize, kCheckerSize);
  init_tex(s);
  // Each of these ends the program with status 1 if its file cannot be loaded.
  LoadTexture(s, "topTexture.bmp", 1);
  LoadTexture(s, "baseTexture.bmp", 2);
  LoadTexture(s, "silverTexture.bmp", 3);
}

void loadMeshes(Scene& s) {
  std::puts("Reading lighterBase.m...");
  ReadFile(s, "lighterBase.m", 1);
  prepareMesh(s, 1);
  ReadFile(s, "lighterTop.m", 0);
  prepareMesh(s, 0);
}

}  // namespace

bool InitGL(Scene& s) {
  if (!LoadGLTextures(s)) {
    return false;
  }
  glShadeModel(GL_SMOOTH);
  glClearDepth(1.0);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  // Additive blending, for the lighter as well as the flame.
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, s.texture);
  initParticles(s, std::rand);
  return true;
}

void init_lighting(const Scene& s) {
  glEnable(GL_NORMALIZE);
  glEnable(GL_LIGHT0);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, s.light_diff);
  glLightfv(GL_LIGHT0, GL_AMBIENT, s.light_amb);
  glLightfv(GL_LIGHT0, GL_SPECULAR, s.light_spec);
  glShadeModel(GL_FLAT);
}

void startUp(Scene& s, int* argc, char** argv) {
  createWindow(s, argc, argv);
  registerCallbacks();
  InitGL(s);  // a failed particle image load only skips the render state
  buildMenus();
  assignStartValues(s);
  glDisable(GL_LIGHTING);  // and never enabled again
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  s.yspeed += 80.0f;
  s.zoom += 30.0f;
  loadTextures(s);
  loadMeshes(s);
  glEnable(GL_DEPTH_TEST);
  init_lighting(s);
}
