#include "lighter/startup.h"

#include <GL/glut.h>

#include <cstdlib>

#include "lighter/callbacks.h"
#include "mesh/prepare.h"
#include "mesh/reader.h"
#include "textures/textures.h"

namespace {

constexpr int kCheckerSize = 64;

void createWindow(Scene& s, int* argc, char** argv) {
  s.view.GW = view::kWindowWidth;
  s.view.GH = view::kWindowHeight;
  glutInit(argc, argv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(s.view.GW, s.view.GH);
  glutInitWindowPosition(view::kWindowX, view::kWindowY);
  glutCreateWindow("Lighter Demonstration");
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);  // replaced by black below
}

void loadTextures(TextureState& textures, std::ostream& out) {
  textures.pixel = makeCheckerBoard(kCheckerSize, kCheckerSize);
  init_tex(textures);
  // Each of these ends the program with status 1 if its file cannot be loaded.
  LoadTexture(textures, "topTexture.bmp", 1, out);
  LoadTexture(textures, "baseTexture.bmp", 2, out);
  LoadTexture(textures, "silverTexture.bmp", 3, out);
}

void loadMeshes(MeshState& meshes, std::ostream& out) {
  out << "Reading lighterBase.m...\n";
  ReadFile(meshes, "lighterBase.m", 1, out);
  prepareMesh(meshes, 1, out);
  ReadFile(meshes, "lighterTop.m", 0, out);
  prepareMesh(meshes, 0, out);
}

}  // namespace

bool InitGL(Scene& s, std::ostream& out) {
  if (!LoadGLTextures(s.textures, out)) {
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
  glBindTexture(GL_TEXTURE_2D, s.textures.texture);
  initParticles(s.flame, std::rand);
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

void startUp(Scene& s, int* argc, char** argv, std::ostream& out) {
  createWindow(s, argc, argv);
  registerCallbacks(s, out);
  InitGL(s, out);  // a failed particle image load only skips the render state
  buildMenus();
  assignStartValues(s);
  glDisable(GL_LIGHTING);  // and never enabled again
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  s.flame.yspeed += 80.0f;
  s.flame.zoom += 30.0f;
  loadTextures(s.textures, out);
  loadMeshes(s.meshes, out);
  glEnable(GL_DEPTH_TEST);
  init_lighting(s);
}
