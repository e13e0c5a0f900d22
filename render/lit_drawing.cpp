// The Lit frame's GL side.
#include "render/lit_drawing.h"

#include <GL/gl.h>

#include <cstdlib>

#include "particles/draw.h"
#include "render/placement.h"
#include "view/view_model.h"
#include "textures/textures.h"

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

void placeFlameLight() {
  const float depth = static_cast<float>(view::length(view::kLookAt - view::kEye));
  const GLfloat position[4] = {0.0f, kFlameLightAbove, kFlameLightInFront - depth, 1.0f};
  glLightfv(GL_LIGHT1, GL_POSITION, position);
}

// Brushed steel: little of its own colour in the ambient and diffuse terms,
// a bright, fairly tight highlight.
constexpr GLfloat kMetalAmbient[4] = {0.2f, 0.2f, 0.21f, 1.0f};
constexpr GLfloat kMetalDiffuse[4] = {1.3f, 1.3f, 1.36f, 1.0f};
constexpr GLfloat kMetalSpecular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr GLfloat kNoEmission[4] = {0.0f, 0.0f, 0.0f, 1.0f};

// Start-up builds the arrays (a scene set up some other way gets them here);
// the particle image is uploaded on the first Lit frame, after all of
// start-up's own uploads.
void prepare(const MeshState& meshes, const TextureState& textures, LitState& lit) {
  buildLitMeshes(meshes, lit);
  if (lit.particleTexture == 0) {
    lit.particleTexture = uploadParticleImageUnderOwnName(textures);
    if (lit.particleTexture != 0) glBindTexture(GL_TEXTURE_2D, kSilverTextureName);
  }
}

void setMaterial() {
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, kMetalAmbient);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, kMetalDiffuse);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, kMetalSpecular);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, kNoEmission);
}

// Light 0 keeps the colours start-up gave it; light 1 is the flame's.
void placeLights(const FlameState& flame) {
  glPushMatrix();
  glLoadIdentity();
  glLightfv(GL_LIGHT0, GL_POSITION, kKeyLightPosition);
  const FlameLight light = flameLight(flame);
  if (light.on) {
    const GLfloat color[4] = {light.color[0], light.color[1], light.color[2], 1.0f};
    const GLfloat none[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    placeFlameLight();
    glLightfv(GL_LIGHT1, GL_AMBIENT, none);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, color);
    glLightfv(GL_LIGHT1, GL_SPECULAR, color);
    glEnable(GL_LIGHT1);
  } else {
    glDisable(GL_LIGHT1);
  }
  glPopMatrix();
}

void drawMesh(const LitMesh& mesh) {
  if (mesh.indices.empty()) return;
  glVertexPointer(3, GL_FLOAT, 0, mesh.positions.data());
  glNormalPointer(GL_FLOAT, 0, mesh.normals.data());
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.indices.size()), GL_UNSIGNED_INT,
                 mesh.indices.data());
}

}  // namespace

void drawLitObjects(const ViewState& view, const MeshState& meshes, const FlameState& flame,
                    const TextureState& textures, LitState& lit) {
  prepare(meshes, textures, lit);
  // Opaque metal: no blending, no texture, depth writes as always.
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
  glShadeModel(GL_SMOOTH);
  placeLights(flame);
  setMaterial();
  applyLitExtras();
  glEnable(GL_LIGHTING);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);

  glPushMatrix();
  placeBody(view, meshes);
  glPushMatrix();
  placeLidOnBody(meshes);
  drawMesh(lit.lid);
  glPopMatrix();
  drawMesh(lit.body);
  glPopMatrix();

  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
}

void drawLitParticles(FlameState& flame, const LitState& lit) {
  glBindTexture(GL_TEXTURE_2D, lit.particleTexture);
  glDepthMask(GL_FALSE);
  drawParticles(flame, std::rand);
  glDepthMask(GL_TRUE);
  glBindTexture(GL_TEXTURE_2D, kSilverTextureName);
}
