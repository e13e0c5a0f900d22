#include "lighter/startup.h"

#include <GL/glut.h>

#include <cstdlib>
#include <new>

#include "lighter/callbacks.h"
#include "lighter/framing.h"
#include "lighter/shown_model.h"
#include "mesh/no_lid.h"
#include "mesh/prepare.h"
#include "mesh/reader.h"
#include "render/lit_look.h"
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

void loadTextures(TextureState& textures, std::ostream& out, std::ostream& err) {
  textures.pixel = makeCheckerBoard(kCheckerSize, kCheckerSize);
  init_tex(textures);
  // Each of these ends the program with status 1 if its file cannot be loaded.
  LoadTexture(textures, "topTexture.bmp", 1, out, err);
  LoadTexture(textures, "baseTexture.bmp", 2, out, err);
  LoadTexture(textures, "silverTexture.bmp", 3, out, err);
}

// Reads and prepares one mesh. The vertex normals take as much memory again
// as the vertices, so preparing can run out where reading did not.
void loadMesh(MeshState& meshes, const char* name, int isBase, std::ostream& out,
              std::ostream& err) {
  ReadFile(meshes, name, isBase, out, err);
  try {
    prepareMesh(meshes, isBase, out);
  } catch (const std::bad_alloc&) {
    throw meshMemoryError(meshes, isBase, name, 0);
  }
}

// The body's size frames both meshes, so a missing body changes the whole
// picture: say what is drawn and why, in one line. A lid file marked as
// written without a lid is no fault and goes unmentioned.
void reportMissingParts(const MeshState& meshes, bool lidAlone, std::ostream& err) {
  if (lidAlone) {
    err << "lighter: no vertices read from lighterBase.m, so the body is not drawn; the lid is "
           "drawn alone, framed by its own size\n";
  } else if (meshes.lighterBaseVertices.empty()) {
    err << "lighter: no vertices read from lighterBase.m or lighterTop.m: nothing is drawn\n";
  } else if (meshes.lighterTopVertices.empty() && !isMarkedNoLid("lighterTop.m")) {
    err << "lighter: no vertices read from lighterTop.m, so the lid is not drawn\n";
  }
}

void loadMeshes(MeshState& meshes, std::ostream& out, std::ostream& err) {
  out << "Reading lighterBase.m...\n";
  loadMesh(meshes, "lighterBase.m", 1, out, err);
  loadMesh(meshes, "lighterTop.m", 0, out, err);
  reportMissingParts(meshes, frameLidAlone(meshes), err);
}

}  // namespace

bool InitGL(Scene& s, std::ostream& out, std::ostream& err) {
  if (!LoadGLTextures(s.textures, out, err)) {
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

void startUp(Scene& s, int* argc, char** argv, std::ostream& out, std::ostream& err) {
  createWindow(s, argc, argv);
  registerCallbacks(s, out);
  InitGL(s, out, err);  // a failed particle image load only skips the render state
  buildMenus();
  assignStartValues(s);
  glDisable(GL_LIGHTING);  // and never enabled again
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  s.flame.yspeed += 80.0f;
  s.flame.zoom += 30.0f;
  loadTextures(s.textures, out, err);
  loadMeshes(s.meshes, out, err);
  stageModel(s.view, s.meshes);        // no GL: what the camera turns about, the flame's depth
  buildLitMeshes(s.meshes, s.lit);     // no GL: the "Lit" mode's arrays
  loadLitLooks(s.meshes, s.lit, err);  // no GL, nothing on `out`: an imported model's look
  glEnable(GL_DEPTH_TEST);
  init_lighting(s);
}
