// The Lit frame's GL side.
#include "render/lit_drawing.h"

#include <GL/gl.h>

#include "render/placement.h"
#include "textures/textures.h"
#include "view/view_model.h"

namespace {

// Positions in eye coordinates (the camera looks down -z from the origin;
// the lighter stands about 3 units ahead). The key light is up, left and
// in front, near enough that flat faces shade across their width.
constexpr GLfloat kKeyLightPosition[4] = {-1.6f, 1.0f, -1.5f, 1.0f};
// The flame's particles are born on the line of sight, whatever their zoom
// (view::flameOrigin): its light sits on that line where the lighter stands,
// a little above and in front of the chimney's top, so that the body's front
// catches it.
constexpr float kFlameLightAbove = 0.1f;
constexpr float kFlameLightInFront = 0.4f;

// For a camera that has moved, the light stays in the world where the start
// view has it, by the flame, and is seen from the moved eye.
void placeFlameLight(const view::FlamePlacement* moved) {
  const float depth = static_cast<float>(view::length(view::kLookAt - view::kEye));
  GLfloat position[4] = {0.0f, kFlameLightAbove, kFlameLightInFront - depth, 1.0f};
  if (moved != nullptr) {
    const view::Vec3 eye =
        view::startEyeToMovedEye(*moved, {position[0], position[1], position[2]});
    position[0] = static_cast<GLfloat>(eye.x);
    position[1] = static_cast<GLfloat>(eye.y);
    position[2] = static_cast<GLfloat>(eye.z);
  }
  glLightfv(GL_LIGHT1, GL_POSITION, position);
}

// Brushed steel: little of its own colour in the ambient and diffuse terms,
// a bright, fairly tight highlight.
constexpr GLfloat kMetalAmbient[4] = {0.2f, 0.2f, 0.21f, 1.0f};
constexpr GLfloat kMetalDiffuse[4] = {1.3f, 1.3f, 1.36f, 1.0f};
constexpr GLfloat kMetalSpecular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr GLfloat kNoEmission[4] = {0.0f, 0.0f, 0.0f, 1.0f};
// A model's own texture or colours: matte, a faint highlight, white where
// the texture multiplies in its own colours.
constexpr GLfloat kMatteAmbient[4] = {0.5f, 0.5f, 0.5f, 1.0f};
constexpr GLfloat kMatteDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr GLfloat kMatteSpecular[4] = {0.25f, 0.25f, 0.25f, 1.0f};

// Start-up builds the arrays (a scene set up some other way gets them here);
// the particle image and the model's texture are uploaded on the first Lit
// frame, after all of start-up's own uploads. The model's picture is then
// needed no more.
void prepare(const MeshState& meshes, const TextureState& textures, LitState& lit) {
  buildLitMeshes(meshes, lit);
  bool uploaded = false;
  if (lit.particleTexture == 0) {
    lit.particleTexture = uploadParticleImageUnderOwnName(textures);
    uploaded = lit.particleTexture != 0;
  }
  if (lit.modelTexture == 0 && !lit.modelImage.data.empty()) {
    lit.modelTexture = uploadImageUnderOwnName(lit.modelImage);
    lit.modelImage = Image{};
    uploaded = uploaded || lit.modelTexture != 0;
  }
  if (uploaded) glBindTexture(GL_TEXTURE_2D, kSilverTextureName);
}

void setMaterial(const GLfloat* ambient, const GLfloat* diffuse, const GLfloat* specular) {
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, kNoEmission);
}

// Light 0 keeps the colours start-up gave it, and its place by the eye
// whichever way the camera looks; light 1 is the flame's.
void placeLights(const FlameState& flame, const view::FlamePlacement* moved) {
  glPushMatrix();
  glLoadIdentity();
  glLightfv(GL_LIGHT0, GL_POSITION, kKeyLightPosition);
  const FlameLight light = flameLight(flame);
  if (light.on) {
    const GLfloat color[4] = {light.color[0], light.color[1], light.color[2], 1.0f};
    const GLfloat none[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    placeFlameLight(moved);
    glLightfv(GL_LIGHT1, GL_AMBIENT, none);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, color);
    glLightfv(GL_LIGHT1, GL_SPECULAR, color);
    glEnable(GL_LIGHT1);
  } else {
    glDisable(GL_LIGHT1);
  }
  glPopMatrix();
}

// The material and the arrays of the mesh's surface, on for its draw call.
// The model's texture is multiplied by the lit white material (GL's
// default texture environment, GL_MODULATE, which no mode changes).
void beginSurface(LitSurface surface, const LitMesh& mesh, const LitState& lit) {
  switch (surface) {
    case LitSurface::kSilver:
      setMaterial(kMetalAmbient, kMetalDiffuse, kMetalSpecular);
      break;
    case LitSurface::kTextured:
      setMaterial(kMatteAmbient, kMatteDiffuse, kMatteSpecular);
      glBindTexture(GL_TEXTURE_2D, lit.modelTexture);
      glEnable(GL_TEXTURE_2D);
      glTexCoordPointer(2, GL_FLOAT, 0, mesh.uv.data());
      glEnableClientState(GL_TEXTURE_COORD_ARRAY);
      break;
    case LitSurface::kColoured:
      setMaterial(kMatteAmbient, kMatteDiffuse, kMatteSpecular);
      setColourMaterial(true);
      glColorPointer(3, GL_UNSIGNED_BYTE, 0, mesh.rgb.data());
      glEnableClientState(GL_COLOR_ARRAY);
      break;
  }
}

// Puts back what beginSurface changed, so that the next mesh, the flame and
// the other modes find the state they expect.
void endSurface(LitSurface surface) {
  switch (surface) {
    case LitSurface::kSilver:
      break;
    case LitSurface::kTextured:
      glDisableClientState(GL_TEXTURE_COORD_ARRAY);
      glDisable(GL_TEXTURE_2D);
      glBindTexture(GL_TEXTURE_2D, kSilverTextureName);
      break;
    case LitSurface::kColoured:
      glDisableClientState(GL_COLOR_ARRAY);
      setColourMaterial(false);
      break;
  }
}

void drawMesh(const LitMesh& mesh, const LitState& lit) {
  if (mesh.indices.empty()) return;
  const LitSurface surface = surfaceOf(mesh, lit.modelTexture != 0);
  beginSurface(surface, mesh, lit);
  glVertexPointer(3, GL_FLOAT, 0, mesh.positions.data());
  glNormalPointer(GL_FLOAT, 0, mesh.normals.data());
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.indices.size()), GL_UNSIGNED_INT,
                 mesh.indices.data());
  endSurface(surface);
}

}  // namespace

void drawLitObjects(const ViewState& view, const MeshState& meshes, const FlameState& flame,
                    const TextureState& textures, LitState& lit,
                    const view::FlamePlacement* moved) {
  prepare(meshes, textures, lit);
  // Opaque surfaces: no blending, no texture but a model's own, depth writes
  // as always.
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
  glShadeModel(GL_SMOOTH);
  placeLights(flame, moved);
  applyLitExtras();
  glEnable(GL_LIGHTING);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);

  glPushMatrix();
  placeBody(view, meshes);
  glPushMatrix();
  placeLidOnBody(meshes);
  drawMesh(lit.lid, lit);
  glPopMatrix();
  drawMesh(lit.body, lit);
  glPopMatrix();

  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
}
